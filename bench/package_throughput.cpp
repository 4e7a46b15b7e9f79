// Extraction throughput against bare decompression, on one mixed 100 MiB package.
//   package_throughput [MiB] [folder]
// Builds the package in memory (text-like, random and zero-filled files of 4 KiB to 16 MiB),
// then times one decompression pass into nothing (verify_package) and one extraction of the
// same stream into a fresh folder below `folder` (default: the temporary folder), and prints both.
#include "package/crc32.h"
#include "package/extraction.h"
#include "package/membuf.h"
#include "package/package_format.h"

#include <boost/filesystem/operations.hpp>
#include <boost/iostreams/filter/bzip2.hpp>
#include <boost/iostreams/filtering_stream.hpp>
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr std::uint64_t kMiB = 1024 * 1024;

// One file's bytes: prose-like words, random bytes or zeros, by turns.
std::string FileContent(std::mt19937& random, std::size_t size, int kind)
{
    static const char* const words[] = {"ostrel ", "package ", "vantor ", "lind ", "folder ", "data ", "the ", "\r\n"};
    std::string content;
    content.reserve(size);
    if (kind == 0) {
        while (content.size() < size)
            content += words[random() % std::size(words)];
        content.resize(size);
    } else if (kind == 1) {
        content.resize(size);
        for (char& byte : content)
            byte = static_cast<char>(random());
    } else {
        content.assign(size, '\0');
    }
    return content;
}

std::string BuildPackage(std::uint64_t bytes, std::uint64_t& decompressedSize, std::size_t& files)
{
    std::mt19937 random(405);
    std::vector<package_entry> entries;
    std::vector<std::string> contents;
    std::uint64_t total = 0;
    while (total < bytes) {
        const std::size_t size = std::min<std::uint64_t>(bytes - total, 4096u << (random() % 13)); // 4 KiB .. 16 MiB
        const int kind = static_cast<int>(entries.size() % 3);
        contents.push_back(FileContent(random, size, kind));
        const std::wstring name = L"file" + std::to_wstring(entries.size()) + L".bin";
        entries.push_back({L"C:\\bench\\" + name, L"<InstallPath>\\kind" + std::to_wstring(kind), EntryOrdinary, size,
                           compute_crc32(contents.back().data(), size)});
        total += size;
    }
    std::ostringstream compressed;
    {
        boost::iostreams::filtering_ostream out;
        out.push(boost::iostreams::bzip2_compressor(9));
        out.push(compressed);
        write_package_header(out, entries);
        for (const std::string& content : contents)
            out.write(content.data(), static_cast<std::streamsize>(content.size()));
    }
    decompressedSize = header_size_of(entries) + total;
    files = entries.size();
    return compressed.str();
}

double Seconds(std::chrono::steady_clock::duration duration)
{
    return std::chrono::duration<double>(duration).count();
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    const std::uint64_t mebibytes = argc > 1 ? std::wcstoull(argv[1], nullptr, 10) : 100;
    const boost::filesystem::path parent = argc > 2 ? boost::filesystem::path(argv[2]) : boost::filesystem::temp_directory_path();
    std::uint64_t decompressedSize = 0;
    std::size_t files = 0;
    std::printf("building a %llu MiB package...\n", static_cast<unsigned long long>(mebibytes));
    const std::string compressed = BuildPackage(mebibytes * kMiB, decompressedSize, files);
    std::printf("package: %zu files, %.1f MiB decompressed, %.1f MiB compressed\n", files,
                double(decompressedSize) / kMiB, double(compressed.size()) / kMiB);

    vt::imemstream stream(compressed.data(), compressed.size());
    auto start = std::chrono::steady_clock::now();
    const bool sound = verify_package(stream);
    const double decompressSeconds = Seconds(std::chrono::steady_clock::now() - start);
    stream.seekg(0);

    const boost::filesystem::path folder = parent / ("ostrel-bench-" + std::to_string(::GetCurrentProcessId()));
    std::wstring failure;
    start = std::chrono::steady_clock::now();
    const bool extracted = extract_package(stream, folder.wstring(), L"", L"", [&](notification message) {
        if (auto* failed = std::get_if<notification::failed>(&message.value))
            failure = failed->path + L": " + std::to_wstring(failed->code.value());
        return notification::result::proceed;
    });
    const double extractSeconds = Seconds(std::chrono::steady_clock::now() - start);
    boost::system::error_code ignored;
    boost::filesystem::remove_all(folder, ignored);

    if (!sound || !extracted) {
        std::printf("FAILED: verify %d, extract %d %ls\n", sound, extracted, failure.c_str());
        return 1;
    }
    const double mib = double(decompressedSize) / kMiB;
    std::printf("bare bzip2 decompression: %6.2f s  %6.1f MiB/s\n", decompressSeconds, mib / decompressSeconds);
    std::printf("extraction (write + CRC read-back): %6.2f s  %6.1f MiB/s  (%.0f %% of bare decompression)\n",
                extractSeconds, mib / extractSeconds, 100.0 * decompressSeconds / extractSeconds);
    return 0;
}
