#include "tools/packer/package_builder.h"

#include "package/crc32.h"
#include "tools/packer/utf16.h"

#include <boost/iostreams/filter/bzip2.hpp>
#include <boost/iostreams/filtering_stream.hpp>

#include <algorithm>
#include <array>
#include <fstream>

namespace {

constexpr std::size_t kBlockSize = 4096;

[[noreturn]] void Fail(const manifest_entry& entry, const std::string& what)
{
    throw packing_error("line " + std::to_string(entry.line) + ": " + what + ": " + entry.source.string());
}

// Calls `consume(data, size)` for each block of the file; returns its length.
template <typename Consume>
std::uint64_t ReadBlocks(const manifest_entry& entry, Consume consume)
{
    std::ifstream file(entry.source, std::ios::binary);
    if (!file)
        Fail(entry, "cannot open the source");
    std::array<char, kBlockSize> block;
    std::uint64_t length = 0;
    while (file.read(block.data(), block.size()) || file.gcount() > 0) {
        consume(block.data(), static_cast<std::size_t>(file.gcount()));
        length += static_cast<std::uint64_t>(file.gcount());
    }
    if (file.bad())
        Fail(entry, "cannot read the source");
    return length;
}

std::wstring BackslashSeparated(const std::filesystem::path& path, const manifest_entry& entry)
{
    std::string text = path.generic_string();
    std::replace(text.begin(), text.end(), '/', '\\');
    auto units = utf16_from_utf8(text);
    if (!units)
        Fail(entry, "the source path is not valid UTF-8");
    return *units;
}

} // namespace

std::vector<package_entry> package_entries(const std::vector<manifest_entry>& entries)
{
    std::vector<package_entry> result;
    for (const manifest_entry& entry : entries) {
        package_entry& packaged = result.emplace_back();
        packaged.source = BackslashSeparated(std::filesystem::absolute(entry.source).lexically_normal(), entry);
        packaged.destination = entry.destination;
        packaged.flags = entry.kind;
        std::uint32_t crc = crc32_initial;
        packaged.size = ReadBlocks(entry, [&](const char* data, std::size_t size) {
            crc = crc32_update(crc, data, size);
        });
        packaged.crc = crc32_final(crc);
    }
    return result;
}

void build_package(const std::vector<manifest_entry>& entries, std::ostream& out)
{
    const std::vector<package_entry> header = package_entries(entries);
    boost::iostreams::filtering_ostream compressed;
    compressed.push(boost::iostreams::bzip2_compressor(boost::iostreams::bzip2_params(9)), kBlockSize);
    compressed.push(out, kBlockSize);
    compressed.exceptions(std::ios::badbit | std::ios::failbit);
    write_package_header(compressed, header);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        std::uint32_t crc = crc32_initial;
        const std::uint64_t size = ReadBlocks(entries[i], [&](const char* data, std::size_t length) {
            crc = crc32_update(crc, data, length);
            compressed.write(data, static_cast<std::streamsize>(length));
        });
        // The header already promised the first reading's bytes.
        if (size != header[i].size || crc32_final(crc) != header[i].crc)
            Fail(entries[i], "the source changed while it was packed");
    }
    compressed.reset(); // flushes and closes the bzip2 stream
    if (!out)
        throw packing_error("cannot write the package");
}
