#include "package/package_format.h"

#include "package/compress_error.h"

#include <algorithm>
#include <array>
#include <istream>
#include <limits>
#include <ostream>
#include <stdexcept>
#include <string_view>

namespace {

template <typename Unsigned>
void WriteLittleEndian(std::ostream& out, Unsigned value)
{
    std::array<char, sizeof(Unsigned)> bytes;
    for (char& byte : bytes) {
        byte = static_cast<char>(value & 0xFFu);
        value = static_cast<Unsigned>(value >> 8);
    }
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void WriteString(std::ostream& out, const std::wstring& text)
{
    if (text.size() > std::numeric_limits<std::uint32_t>::max())
        throw std::invalid_argument("package string too long");
    WriteLittleEndian(out, static_cast<std::uint32_t>(text.size()));
    for (const wchar_t unit : text) {
        // Only a host with 32-bit wchar_t can hold such a value.
        if ((static_cast<std::uint32_t>(unit) >> 16) != 0)
            throw std::invalid_argument("package string holds a value that is not a UTF-16 code unit");
        WriteLittleEndian(out, static_cast<std::uint16_t>(unit));
    }
}

// Reads the header's fields in order, never past header_size.
class TableReader {
public:
    TableReader(std::istream& in, std::uint64_t headerSize) : in_(in), left_(headerSize) {}

    template <typename Unsigned>
    Unsigned Read()
    {
        std::array<unsigned char, sizeof(Unsigned)> bytes;
        Take(bytes.size());
        if (!in_.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size())))
            throw_compress_error(unexpected_error);
        Unsigned value = 0;
        for (std::size_t i = bytes.size(); i-- > 0;)
            value = static_cast<Unsigned>((value << 8) | bytes[i]);
        return value;
    }

    std::wstring ReadString()
    {
        const auto length = Read<std::uint32_t>();
        if (left_ / 2 < length)
            throw_compress_error(unexpected_error);
        // Grown piece by piece as units arrive, so that a forged length allocates no more than
        // the bytes that are really there.
        std::wstring text;
        std::array<wchar_t, 1024> piece;
        for (std::uint32_t done = 0; done < length;) {
            const auto units = std::min<std::uint32_t>(length - done, piece.size());
            for (std::uint32_t i = 0; i < units; ++i)
                piece[i] = static_cast<wchar_t>(Read<std::uint16_t>());
            text.append(piece.data(), units);
            done += units;
        }
        return text;
    }

    std::uint64_t left() const noexcept { return left_; }

    void SkipRest()
    {
        // ignore() stops quietly at the end of the stream; only the count tells.
        if (left_ > 0 && in_.ignore(static_cast<std::streamsize>(left_)).gcount() != static_cast<std::streamsize>(left_))
            throw_compress_error(unexpected_error);
        left_ = 0;
    }

private:
    void Take(std::uint64_t bytes)
    {
        if (bytes > left_)
            throw_compress_error(unexpected_error);
        left_ -= bytes;
    }

    std::istream& in_;
    std::uint64_t left_;
};

bool IsDeviceName(std::wstring_view name)
{
    // Windows opens these devices whatever the folder and the extension: "NUL.txt" is NUL too.
    name = name.substr(0, name.find(L'.'));
    while (!name.empty() && name.back() == L' ')
        name.remove_suffix(1);
    std::wstring upper(name);
    std::transform(upper.begin(), upper.end(), upper.begin(), [](wchar_t c) {
        return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c;
    });
    for (const wchar_t* device : {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$"})
        if (upper == device)
            return true;
    // Superscript one to three count as digits there too.
    const auto isPortDigit = [](wchar_t c) {
        return (c >= L'1' && c <= L'9') || c == L'\u00b9' || c == L'\u00b2' || c == L'\u00b3';
    };
    return upper.size() == 4 && (upper.starts_with(L"COM") || upper.starts_with(L"LPT")) && isPortDigit(upper[3]);
}

} // namespace

std::uint64_t entry_length(const package_entry& entry) noexcept
{
    return package_entry_fixed_length + 2 * (std::uint64_t{entry.source.size()} + entry.destination.size());
}

std::uint64_t header_size_of(const std::vector<package_entry>& entries) noexcept
{
    std::uint64_t size = package_table_offset;
    for (const package_entry& entry : entries)
        size += entry_length(entry);
    return size;
}

std::uint64_t package_total(const package_header& header) noexcept
{
    std::uint64_t total = header.header_size;
    for (const package_entry& entry : header.entries)
        total += entry.size;
    return total;
}

void write_package_header(std::ostream& out, const std::vector<package_entry>& entries)
{
    if (entries.size() > std::numeric_limits<std::uint32_t>::max())
        throw std::invalid_argument("too many package entries");
    WriteLittleEndian(out, header_size_of(entries));
    WriteLittleEndian(out, static_cast<std::uint32_t>(entries.size()));
    for (const package_entry& entry : entries) {
        WriteString(out, entry.source);
        WriteString(out, entry.destination);
        WriteLittleEndian(out, entry.flags);
        WriteLittleEndian(out, entry.size);
        WriteLittleEndian(out, entry.crc);
    }
}

void check_header_size(std::uint64_t headerSize)
{
    if (headerSize < package_table_offset || headerSize >= package_header_size_limit)
        throw_compress_error(unexpected_error);
}

package_header read_package_header(std::istream& in)
{
    package_header header;
    TableReader sizeReader(in, 8);
    header.header_size = sizeReader.Read<std::uint64_t>();
    check_header_size(header.header_size);

    TableReader reader(in, header.header_size - 8);
    const auto count = reader.Read<std::uint32_t>();
    // Every entry takes at least its fixed fields.
    if (reader.left() / package_entry_fixed_length < count)
        throw_compress_error(unexpected_error);
    // The package's length (the 100 % of progress) must be a number: sizes that wrap it round
    // would let an extraction end "complete" with entries never written.
    std::uint64_t total = header.header_size;
    // Appended as they are read rather than sized from `count`: the bytes may end before the
    // table does.
    for (std::uint32_t i = 0; i < count; ++i) {
        package_entry& entry = header.entries.emplace_back();
        entry.source = reader.ReadString();
        entry.destination = reader.ReadString();
        entry.flags = reader.Read<std::uint32_t>();
        entry.size = reader.Read<std::uint64_t>();
        entry.crc = reader.Read<std::uint32_t>();
        if (entry.size > std::numeric_limits<std::uint64_t>::max() - total)
            throw_compress_error(unexpected_error);
        total += entry.size;
        package_file_name(entry.source);
        // The Windows calls see a path up to its first null character.
        if (entry.destination.find(L'\0') != std::wstring::npos)
            throw_compress_error(unexpected_error);
    }
    reader.SkipRest();
    return header;
}

std::wstring package_file_name(const std::wstring& source)
{
    const std::size_t separator = source.find_last_of(L"\\/");
    std::wstring name = separator == std::wstring::npos ? source : source.substr(separator + 1);
    std::wstring_view normalised(name);
    while (!normalised.empty() && (normalised.back() == L'.' || normalised.back() == L' '))
        normalised.remove_suffix(1);
    const bool hasForbidden = std::any_of(normalised.begin(), normalised.end(),
                                          [](wchar_t c) { return c == L':' || static_cast<std::uint32_t>(c) < 0x20; });
    if (normalised.empty() || hasForbidden || IsDeviceName(normalised))
        throw_compress_error(unexpected_error);
    return name;
}
