#pragma once
// Stream buffers over memory. The package resource is read through a read-only view of the mapped
// image (never copied); the package header is collected in storage the buffer owns and grows.
#include <algorithm>
#include <climits>
#include <cstddef>
#include <istream>
#include <limits>
#include <memory>
#include <new>
#include <streambuf>
#include <utility>

namespace vt {

template <typename CharT, typename Traits = std::char_traits<CharT>>
class basic_membuf : public std::basic_streambuf<CharT, Traits> {
    using base = std::basic_streambuf<CharT, Traits>;

public:
    using char_type = CharT;
    using traits_type = Traits;
    using int_type = typename Traits::int_type;
    using pos_type = typename Traits::pos_type;
    using off_type = typename Traits::off_type;

    // Owned storage, empty until written.
    basic_membuf() = default;
    // A read-only view of `size` characters that stay owned by the caller.
    basic_membuf(const CharT* data, std::size_t size) : owned_(false)
    {
        CharT* begin = const_cast<CharT*>(data); // the get area never writes in a view
        this->setg(begin, begin, begin + size);
    }

    basic_membuf(basic_membuf&& other) noexcept
        : base(other),
          storage_(std::move(other.storage_)),
          capacity_(std::exchange(other.capacity_, 0)),
          written_(std::exchange(other.written_, 0)),
          owned_(other.owned_)
    {
        other.setg(nullptr, nullptr, nullptr);
        other.setp(nullptr, nullptr);
    }
    basic_membuf(const basic_membuf&) = delete;
    basic_membuf& operator=(const basic_membuf&) = delete;
    basic_membuf& operator=(basic_membuf&&) = delete;

    // The whole range held: the view, or every character written to owned storage so far.
    std::pair<const CharT*, std::size_t> range() const noexcept
    {
        if (!owned_)
            return {this->eback(), static_cast<std::size_t>(this->egptr() - this->eback())};
        return {storage_.get(), held()};
    }
    bool owns_storage() const noexcept { return owned_; }
    // Characters of owned storage allocated (0 for a view).
    std::size_t capacity() const noexcept { return capacity_; }

protected:
    // Owned storage grows by 256 characters while it holds fewer than 512, then by half its length.
    int_type overflow(int_type c) override
    {
        if (Traits::eq_int_type(c, Traits::eof()))
            return Traits::not_eof(c);
        if (!owned_)
            return Traits::eof();
        if (this->pptr() == this->epptr())
            grow();
        *this->pptr() = Traits::to_char_type(c);
        this->pbump(1);
        return c;
    }

    int_type pbackfail(int_type c) override
    {
        if (this->gptr() == this->eback())
            return Traits::eof();
        const bool isEof = Traits::eq_int_type(c, Traits::eof());
        // A view may only step back over the same character: its bytes are not ours to change.
        if (!isEof && !owned_ && !Traits::eq(this->gptr()[-1], Traits::to_char_type(c)))
            return Traits::eof();
        this->gbump(-1);
        if (isEof)
            return Traits::not_eof(c);
        if (owned_)
            *this->gptr() = Traits::to_char_type(c);
        return c;
    }

    // Makes everything written so far readable.
    int_type underflow() override
    {
        if (owned_)
            this->setg(storage_.get(), this->gptr(), storage_.get() + held());
        if (this->gptr() == this->egptr())
            return Traits::eof();
        return Traits::to_int_type(*this->gptr());
    }

    pos_type seekoff(off_type offset, std::ios_base::seekdir direction, std::ios_base::openmode which) override
    {
        const bool in = (which & std::ios_base::in) != 0;
        const bool out = (which & std::ios_base::out) != 0;
        if ((!in && !out) || (out && !owned_) || (in && out && direction == std::ios_base::cur))
            return pos_type(off_type(-1));
        const std::size_t length = range().second;
        off_type origin = 0;
        if (direction == std::ios_base::end)
            origin = static_cast<off_type>(length);
        else if (direction == std::ios_base::cur)
            origin = in ? this->gptr() - this->eback() : this->pptr() - this->pbase();
        if ((offset < 0 && -offset > origin) || (offset > 0 && offset > static_cast<off_type>(length) - origin))
            return pos_type(off_type(-1));
        const auto position = static_cast<std::size_t>(origin + offset);
        if (in) {
            CharT* begin = owned_ ? storage_.get() : this->eback();
            this->setg(begin, begin + position, begin + length);
        }
        if (out) {
            written_ = length;
            set_put_position(position);
        }
        return pos_type(static_cast<off_type>(position));
    }

    pos_type seekpos(pos_type position, std::ios_base::openmode which) override
    {
        return seekoff(off_type(position), std::ios_base::beg, which);
    }

private:
    std::size_t held() const noexcept
    {
        return std::max(written_, static_cast<std::size_t>(this->pptr() - this->pbase()));
    }

    void grow()
    {
        const std::size_t maximum = std::numeric_limits<std::size_t>::max() / sizeof(CharT);
        const std::size_t step = capacity_ < 512 ? 256 : capacity_ / 2;
        if (capacity_ > maximum - step)
            throw std::bad_alloc();
        const std::size_t newCapacity = capacity_ + step;
        auto storage = std::make_unique<CharT[]>(newCapacity);
        const std::size_t length = held();
        const std::size_t getOffset = static_cast<std::size_t>(this->gptr() - this->eback());
        const std::size_t putOffset = static_cast<std::size_t>(this->pptr() - this->pbase());
        std::copy_n(storage_.get(), length, storage.get());
        storage_ = std::move(storage);
        capacity_ = newCapacity;
        written_ = length;
        this->setg(storage_.get(), storage_.get() + getOffset, storage_.get() + length);
        set_put_position(putOffset);
    }

    // pbump takes an int; owned storage may be longer than INT_MAX characters.
    void set_put_position(std::size_t position)
    {
        this->setp(storage_.get(), storage_.get() + capacity_);
        while (position > 0) {
            const int step = static_cast<int>(std::min<std::size_t>(position, INT_MAX));
            this->pbump(step);
            position -= static_cast<std::size_t>(step);
        }
    }

    std::unique_ptr<CharT[]> storage_;
    std::size_t capacity_ = 0;
    std::size_t written_ = 0; // furthest put position reached before the last seek or growth
    bool owned_ = true;
};

// An input stream over a read-only view of memory.
template <typename CharT, typename Traits = std::char_traits<CharT>>
class basic_imemstream : public std::basic_istream<CharT, Traits> {
    using base = std::basic_istream<CharT, Traits>;

public:
    // An empty stream: the first read reaches its end.
    basic_imemstream() : basic_imemstream(nullptr, 0) {}
    basic_imemstream(const CharT* data, std::size_t size) : base(nullptr), buffer_(data, size)
    {
        this->init(&buffer_);
    }
    basic_imemstream(basic_imemstream&& other) noexcept : base(std::move(other)), buffer_(std::move(other.buffer_))
    {
        this->set_rdbuf(&buffer_);
    }

    basic_membuf<CharT, Traits>* rdbuf() const noexcept { return const_cast<basic_membuf<CharT, Traits>*>(&buffer_); }

private:
    basic_membuf<CharT, Traits> buffer_;
};

// An input/output stream over storage it owns and grows as it is written.
template <typename CharT, typename Traits = std::char_traits<CharT>>
class basic_memstream : public std::basic_iostream<CharT, Traits> {
    using base = std::basic_iostream<CharT, Traits>;

public:
    basic_memstream() : base(nullptr) { this->init(&buffer_); }

    basic_membuf<CharT, Traits>* rdbuf() const noexcept { return const_cast<basic_membuf<CharT, Traits>*>(&buffer_); }

private:
    basic_membuf<CharT, Traits> buffer_;
};

using membuf = basic_membuf<char>;
using imemstream = basic_imemstream<char>;
using memstream = basic_memstream<char>;

} // namespace vt
