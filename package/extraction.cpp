#include "package/extraction.h"

#include "package/compress_error.h"
#include "package/package_writer.h"
#include "package/runtime_errors.h"

#include <boost/filesystem/exception.hpp>
#include <boost/iostreams/device/null.hpp>
#include <boost/iostreams/filter/bzip2.hpp>
#include <boost/system/system_error.hpp>

#include <array>
#include <cerrno>
#include <cstdlib>

namespace {

constexpr std::streamsize kBlockSize = 4096;

// Offers each chunk of decompressed output to the sink again and again until it has taken all of
// it. The decompressor keeps an untaken rest at the front of its buffer while it runs, but drops
// it when it is closed, and the writer takes no more than the rest of the header or of the
// current entry at a time. Every offer is either taken in part or moves the writer on to its next
// entry, so the loop ends.
template <typename Sink>
class whole_chunks {
public:
    using char_type = char;
    using category = boost::iostreams::sink_tag;

    explicit whole_chunks(Sink& sink) : m_sink(sink) {}

    std::streamsize write(const char* data, std::streamsize size)
    {
        for (std::streamsize taken = 0; taken < size;)
            taken += m_sink.write(data + taken, size - taken);
        return size;
    }

private:
    Sink& m_sink;
};

// Copies the rest of the stream through a bzip2 decompressor (normal mode, 4096-byte output
// buffer) into the sink, then closes the decompressor, which fails when the bzip2 data ended
// early or never began. Returns the compressed bytes read.
template <typename Sink>
std::uint64_t Decompress(std::istream& stream, Sink& destination)
{
    boost::iostreams::bzip2_decompressor decompressor(false, kBlockSize);
    whole_chunks<Sink> sink(destination);
    std::array<char, kBlockSize> block;
    std::uint64_t read = 0;
    // Read through the buffer so that reaching the end sets no error state on the stream.
    std::streambuf* buffer = stream.rdbuf();
    for (std::streamsize got; buffer != nullptr && (got = buffer->sgetn(block.data(), kBlockSize)) > 0;) {
        read += static_cast<std::uint64_t>(got);
        // Input the decompressor cannot take while its output is full is given again.
        for (const char* next = block.data(); got > 0;) {
            const std::streamsize used = decompressor.write(sink, next, got);
            next += used;
            got -= used;
        }
    }
    decompressor.close(sink, std::ios_base::out);
    return read;
}

} // namespace

bool extract_package(std::istream& stream, const std::wstring& installationFolder, const std::wstring& sampleFolder,
                     const std::wstring& temporaryFolder, notification_callback callback)
{
    std::wstring currentFile;
    // What the run-time library recorded before this call belongs to other work.
    ForgetRuntimeErrors();
    try {
        callback(notification::started{});
        ForgetRuntimeErrors(); // and so does what the receiver did
        package_writer writer({installationFolder, sampleFolder, temporaryFolder}, callback);
        std::uint64_t read = 0;
        try {
            read = Decompress(stream, writer);
            if (!writer.finish())
                throw_compress_error(unexpected_error); // the data ended before the last entry did
        } catch (...) {
            if (const package_entry* entry = writer.current_entry())
                currentFile = entry->destination;
            throw; // leaving the scope destroys the writer, which closes the file in progress
        }
        callback(notification::finished{read, writer.total()});
        return true;
    } catch (const std::exception& error) {
        callback(failure_of(error, currentFile));
        return false;
    }
}

bool verify_package(std::istream& stream)
{
    try {
        boost::iostreams::null_sink discard;
        Decompress(stream, discard);
    } catch (const std::exception&) {
        return false;
    }
    return stream.good() && stream.rdbuf()->sgetc() == std::char_traits<char>::eof();
}

notification::failed failure_of(const std::exception& error, const std::wstring& currentFile)
{
    notification::failed failure{make_error_code(unexpected_error), currentFile};
    if (failure.path.empty()) {
        if (const auto* fileSystemError = dynamic_cast<const boost::filesystem::filesystem_error*>(&error))
            failure.path = fileSystemError->path1().wstring();
    }

    if (dynamic_cast<const std::ios_base::failure*>(&error) != nullptr) {
        if (_doserrno != 0) {
            failure.code = {static_cast<int>(_doserrno), std::system_category()};
            return failure;
        }
        if (errno != 0) {
            failure.code = {errno, std::generic_category()};
            return failure;
        }
    }
    if (dynamic_cast<const boost::iostreams::bzip2_error*>(&error) != nullptr) {
        failure.code = make_error_code(decompression_error);
    } else if (const auto* systemError = dynamic_cast<const std::system_error*>(&error)) {
        failure.code = systemError->code();
    } else if (const auto* boostError = dynamic_cast<const boost::system::system_error*>(&error)) {
        const boost::system::error_code code = boostError->code();
        if (code.category() == boost::system::generic_category())
            failure.code = {code.value(), std::generic_category()};
        else if (code.category() == boost::system::system_category())
            failure.code = {code.value(), std::system_category()};
    }
    return failure;
}
