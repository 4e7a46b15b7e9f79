#include "package/compress_error.h"
#include "package/membuf.h"
#include "package/package_format.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

std::string HeaderBytes(const std::vector<package_entry>& entries)
{
    std::ostringstream out;
    write_package_header(out, entries);
    return out.str();
}

package_header ReadHeader(const std::string& bytes)
{
    vt::imemstream in(bytes.data(), bytes.size());
    return read_package_header(in);
}

void PutLittleEndian(std::string& bytes, std::size_t offset, std::uint64_t value, int width)
{
    for (int i = 0; i < width; ++i, value >>= 8)
        bytes[offset + i] = static_cast<char>(value & 0xFF);
}

// The code of the std::system_error a call raised; a default code when it raised none.
template <typename Call>
std::error_code ErrorOf(Call call)
{
    try {
        call();
    } catch (const std::system_error& error) {
        return error.code();
    }
    return {};
}

const std::vector<package_entry> kEntries = {
    {L"\\build\\product\\Ostrel.exe", L"<InstallPath>", EntryProgram, 70000, 0x12345678u},
    {L"\\build\\product\\été.dat", L"<CommonData>\\Vantor & Lind\\Ostrel 4", EntryData, 0, 0},
    {L"\\build\\tmp\\x", L"<Temporary>", EntryTemporary, 0xFFFFFFFFFull, 0xFFFFFFFFu},
};

} // namespace

TEST(PackageFormat, HeaderRoundTrip)
{
    const std::string bytes = HeaderBytes(kEntries);
    ASSERT_EQ(bytes.size(), header_size_of(kEntries));
    const package_header header = ReadHeader(bytes);
    EXPECT_EQ(header.header_size, bytes.size());
    ASSERT_EQ(header.entries.size(), kEntries.size());
    for (std::size_t i = 0; i < kEntries.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(header.entries[i].source, kEntries[i].source);
        EXPECT_EQ(header.entries[i].destination, kEntries[i].destination);
        EXPECT_EQ(header.entries[i].flags, kEntries[i].flags);
        EXPECT_EQ(header.entries[i].size, kEntries[i].size);
        EXPECT_EQ(header.entries[i].crc, kEntries[i].crc);
    }
    EXPECT_EQ(package_total(header), bytes.size() + 70000 + 0xFFFFFFFFFull);
}

TEST(PackageFormat, StringsAreCountedInUtf16CodeUnits)
{
    const std::string bytes = HeaderBytes({{L"a.txt", L"<é>", EntryOrdinary, 1, 2}});
    // 12 + 24 + 2 * (5 + 3) = 52 bytes.
    ASSERT_EQ(bytes.size(), 52u);
    EXPECT_EQ(bytes.substr(0, 12), std::string("\x34\0\0\0\0\0\0\0\x01\0\0\0", 12));
    EXPECT_EQ(bytes.substr(12, 14), std::string("\x05\0\0\0a\0.\0t\0x\0t\0", 14));
    EXPECT_EQ(bytes.substr(26, 10), std::string("\x03\0\0\0<\0\xE9\0>\0", 10));
    EXPECT_EQ(bytes.substr(36), std::string("\0\0\0\0\x01\0\0\0\0\0\0\0\x02\0\0\0", 16));
}

TEST(PackageFormat, BytesBeforeHeaderSizeAreSkipped)
{
    std::string bytes = HeaderBytes(kEntries);
    const std::uint64_t padded = bytes.size() + 5;
    PutLittleEndian(bytes, 0, padded, 8);
    bytes += "#####content";
    vt::imemstream in(bytes.data(), bytes.size());
    const package_header header = read_package_header(in);
    EXPECT_EQ(header.header_size, padded);
    EXPECT_EQ(header.entries.size(), kEntries.size());
    EXPECT_EQ(in.tellg(), std::streampos(static_cast<std::streamoff>(padded))) << "content starts at header_size";
}

TEST(PackageFormat, EmptyTableIsTwelveBytes)
{
    const std::string bytes = HeaderBytes({});
    EXPECT_EQ(bytes, std::string("\x0C\0\0\0\0\0\0\0\0\0\0\0", 12));
    EXPECT_TRUE(ReadHeader(bytes).entries.empty());
}

TEST(PackageFormat, MalformedHeadersAreUnexpectedErrors)
{
    const std::string valid = HeaderBytes(kEntries);
    const auto withField = [&](std::size_t offset, std::uint64_t value, int width) {
        std::string bytes = valid;
        PutLittleEndian(bytes, offset, value, width);
        return bytes;
    };
    const std::size_t sourceLength = 12;
    // With the header's own size, these add up to 2^64 + a little: a "total" of a few bytes.
    std::vector<package_entry> wrapping = kEntries;
    wrapping[1].size = ~0ull - 0xFFFFFFFFFull - 70000;
    const struct {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"header_size 0", withField(0, 0, 8)},
        {"header_size 11", withField(0, 11, 8)},
        {"header_size of 4 GiB", withField(0, 0x100000000ull, 8)},
        {"header_size of 2^64 - 1", withField(0, ~0ull, 8)},
        {"table longer than header_size", withField(0, valid.size() - 1, 8)},
        {"count larger than the table", withField(8, kEntries.size() + 1, 4)},
        {"count that cannot fit", withField(8, 0xFFFFFFFFu, 4)},
        {"string length beyond header_size", withField(sourceLength, 0x7FFFFFFFu, 4)},
        {"stream shorter than header_size", valid.substr(0, valid.size() - 1)},
        {"stream shorter than header_size's field", valid.substr(0, 7)},
        {"no bytes at all", std::string()},
        {"entry sizes whose sum wraps round", HeaderBytes(wrapping)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ErrorOf([&] { ReadHeader(c.bytes); }), make_error_code(unexpected_error)) << c.what;
}

TEST(PackageFormat, UnsafeFileNamesAreRefused)
{
    for (const wchar_t* source :
         {L"", L"C:\\build\\", L"C:\\build\\.", L"C:\\build\\..", L"..", L"...", L"a\\. .", L"C:", L"D:name",
          L"file.txt:stream", L"a/b/", L"tab\there", L"NUL", L"nul.txt", L"Com1", L"lpt9.log", L"CONOUT$",
          L"con .txt", L"COM\u00b9", L"lpt\u00b3.txt"}) {
        EXPECT_EQ(ErrorOf([&] { package_file_name(source); }), make_error_code(unexpected_error))
            << testing::PrintToString(std::wstring(source));
        std::vector<package_entry> entries = kEntries;
        entries[1].source = source;
        EXPECT_EQ(ErrorOf([&] { ReadHeader(HeaderBytes(entries)); }), make_error_code(unexpected_error))
            << "a header with " << testing::PrintToString(std::wstring(source));
    }
}

TEST(PackageFormat, FileNameIsTheLastElementOfTheSource)
{
    const struct {
        const wchar_t* source;
        const wchar_t* name;
    } cases[] = {
        {L"C:\\build\\Ostrel.exe", L"Ostrel.exe"}, {L"\\work\\product/readme.txt", L"readme.txt"},
        {L"plain", L"plain"},                       {L"..hidden", L"..hidden"},
        {L"C:\\x\\name.", L"name."},                {L"C:\\x\\COM10", L"COM10"},
        {L"C:\\x\\console.txt", L"console.txt"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(package_file_name(c.source), c.name);
}

TEST(PackageFormat, DestinationWithNullCharacterIsRefused)
{
    std::vector<package_entry> entries = kEntries;
    entries[0].destination = std::wstring(L"<InstallPath>\0..", 16);
    EXPECT_EQ(ErrorOf([&] { ReadHeader(HeaderBytes(entries)); }), make_error_code(unexpected_error));
}

TEST(PackageFormat, WriterRefusesValuesOutsideUtf16)
{
    if (sizeof(wchar_t) == 2)
        GTEST_SKIP() << "every wchar_t is a UTF-16 code unit here";
    std::ostringstream out;
    const std::vector<package_entry> entries = {{std::wstring(1, static_cast<wchar_t>(0x1F600)), L"<InstallPath>"}};
    EXPECT_THROW(write_package_header(out, entries), std::invalid_argument);
}
