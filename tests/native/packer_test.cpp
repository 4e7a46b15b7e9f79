#include "package/crc32.h"
#include "package/membuf.h"
#include "tools/packer/manifest.h"
#include "tools/packer/package_builder.h"
#include "tools/packer/utf16.h"
#include "tests/support/bzip2_bytes.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <utility>

namespace fs = std::filesystem;

namespace {

// A folder of source files for one test, removed afterwards.
class PackerTest : public testing::Test {
protected:
    void SetUp() override
    {
        folder_ = fs::temp_directory_path() /
                  ("ostrel-packer-" + std::to_string(::getpid()) + "-" +
                   testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder_);
        fs::create_directories(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }

    void WriteFile(const fs::path& relative, const std::string& content)
    {
        fs::create_directories((folder_ / relative).parent_path());
        std::ofstream(folder_ / relative, std::ios::binary) << content;
    }
    manifest Parse(const std::string& text) { return parse_manifest(text, "package.manifest", folder_); }

    std::string Pack(const std::string& text)
    {
        const manifest checked = Parse(text);
        EXPECT_TRUE(checked.errors.empty()) << testing::PrintToString(checked.errors);
        std::ostringstream out;
        build_package(checked.entries, out);
        return out.str();
    }

    fs::path folder_;
};

std::wstring Units(const std::string& utf8)
{
    return utf16_from_utf8(utf8).value();
}

} // namespace

TEST_F(PackerTest, EveryBadLineIsNamedWithItsReason)
{
    WriteFile("a.txt", "a");
    WriteFile("sub/A.TXT", "b");
    WriteFile("NUL", "device");
    fs::create_directories(folder_ / "folder");
    const struct {
        std::string line;
        std::string message; // what the packager reads after "package.manifest:3: "
    } cases[] = {
        {"missing.txt <InstallPath> ordinary", "cannot read the source \"missing.txt\": No such file or directory"},
        {"folder <InstallPath> ordinary", "cannot read the source \"folder\": is a folder, not a file"},
        {"a.txt <InstallPath> binary", "unknown kind \"binary\"; the kinds are: ordinary, program, uninstaller, data, "
                                       "no-update, temporary"},
        {"a.txt <>\\x ordinary", "the destination's placeholder <> is empty"},
        {"a.txt \"\" ordinary", "the destination template is empty"},
        {"a.txt <installpath> ordinary", "unknown placeholder in the destination (they are case-sensitive)"},
        {"a.txt <Programs>\\x ordinary", "unknown placeholder in the destination"},
        {"a.txt C:\\Ostrel ordinary", "the destination must begin with a placeholder"},
        {"a.txt <InstallPath>\\..\\x ordinary", "the destination's folder names may not be \".\" or \"..\""},
        {"sub/A.TXT <InstallPath>\\ ordinary", "the destination \"<InstallPath>\\\" already receives \"A.TXT\" "
                                               "from line 1"},
        {"NUL <InstallPath> ordinary", "the installer cannot create a file named \"NUL\""},
        {"a.txt <InstallPath>", "expected three fields (source, destination template, kind), found 2"},
        {"\"a.txt <InstallPath> ordinary", "a double quote is not closed"},
        {"a.txt <Install\xFFPath> ordinary", "the destination is not valid UTF-8"},
    };
    for (const auto& c : cases) {
        const manifest checked = Parse("a.txt <InstallPath> ordinary\n# a comment\n" + c.line + "\n");
        ASSERT_EQ(checked.errors.size(), 1u) << c.line;
        EXPECT_EQ(checked.errors[0].rfind("package.manifest:3: " + c.message, 0), 0u)
            << c.line << "\n  gave: " << checked.errors[0];
        EXPECT_EQ(checked.entries.size(), 1u) << "the good line stays";
    }
}

TEST_F(PackerTest, AllBadLinesAreReportedNotJustTheFirst)
{
    WriteFile("a.txt", "a");
    const manifest checked = Parse("x <InstallPath> ordinary\n\n  # indented comment\na.txt <Nope> data\r\n"
                                   "a.txt \"<CommonData>\\Vantor & Lind\\Ostrel 4\" data\r\n");
    ASSERT_EQ(checked.errors.size(), 2u);
    EXPECT_EQ(checked.errors[0].rfind("package.manifest:1: ", 0), 0u);
    EXPECT_EQ(checked.errors[1].rfind("package.manifest:4: ", 0), 0u);
    ASSERT_EQ(checked.entries.size(), 1u);
    EXPECT_EQ(checked.entries[0].line, 5);
    EXPECT_EQ(checked.entries[0].destination, L"<CommonData>\\Vantor & Lind\\Ostrel 4");
    EXPECT_EQ(checked.entries[0].kind, EntryData);
}

TEST_F(PackerTest, PackageIsOneBzip2StreamOfHeaderAndContents)
{
    WriteFile("bin/Ostrel.exe", "program bytes");
    WriteFile("empty.dat", "");
    WriteFile("data/Été.xml", "<xml/>");
    const std::string compressed = Pack("bin/Ostrel.exe <InstallPath> program\n"
                                        "empty.dat <Temporary>/ temporary\n"
                                        "data/Été.xml <CommonData>/V/O no-update\n");
    EXPECT_EQ(compressed.substr(0, 4), "BZh9") << "bzip2 with block size 9";

    const std::string package = testsupport::Bzip2Decompressed(compressed);
    vt::imemstream in(package.data(), package.size());
    const package_header header = read_package_header(in);
    const struct {
        std::string source;
        std::wstring destination;
        entry_kind kind;
        std::string content;
    } expected[] = {
        {"bin/Ostrel.exe", L"<InstallPath>", EntryProgram, "program bytes"},
        {"empty.dat", L"<Temporary>", EntryTemporary, ""},
        {"data/Été.xml", L"<CommonData>\\V\\O", EntryNoUpdate, "<xml/>"},
    };
    ASSERT_EQ(header.entries.size(), std::size(expected));
    std::string contents;
    for (std::size_t i = 0; i < header.entries.size(); ++i) {
        const package_entry& entry = header.entries[i];
        std::string absolute = (folder_ / expected[i].source).string();
        std::replace(absolute.begin(), absolute.end(), '/', '\\');
        EXPECT_EQ(entry.source, Units(absolute)) << "an absolute, backslash-separated source";
        EXPECT_EQ(entry.destination, expected[i].destination);
        EXPECT_EQ(entry.flags, static_cast<std::uint32_t>(expected[i].kind));
        EXPECT_EQ(entry.size, expected[i].content.size());
        EXPECT_EQ(entry.crc, compute_crc32(expected[i].content.data(), expected[i].content.size()));
        contents += expected[i].content;
    }
    EXPECT_EQ(package.substr(header.header_size), contents) << "the contents follow the header, in table order";
}

TEST_F(PackerTest, SameInputsGiveTheSameBytes)
{
    std::mt19937 random(5);
    std::string noise(300000, '\0');
    std::generate(noise.begin(), noise.end(), [&] { return static_cast<char>(random()); });
    WriteFile("noise.bin", noise);
    WriteFile("text.txt", std::string(200000, 'x'));
    const std::string manifestText = "noise.bin <InstallPath> ordinary\ntext.txt <UserData>\\x data\n";
    const std::string first = Pack(manifestText);
    const std::string second = Pack(manifestText);
    EXPECT_EQ(first, second);
    EXPECT_GT(first.size(), 300000u / 2) << "random bytes hardly compress; the content is there";
}

// The build fills the template with the built programs and product/files/ (ostrel_product_manifest
// in product/CMakeLists.txt); here empty files stand for the programs.
TEST_F(PackerTest, ProductManifestTemplateIsAcceptedByThePacker)
{
    std::ifstream in(fs::path(OSTREL_SOURCE_DIR) / "product" / "package.manifest.in", std::ios::binary);
    ASSERT_TRUE(in) << "cannot read product/package.manifest.in";
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    WriteFile("Ostrel.exe", "MZ");
    WriteFile("Uninstall.exe", "MZ");
    const std::pair<std::string, std::string> placeholders[] = {
        {"@OSTREL_PROGRAM_FILE@", (folder_ / "Ostrel.exe").string()},
        {"@OSTREL_UNINSTALLER_FILE@", (folder_ / "Uninstall.exe").string()},
        {"@OSTREL_PRODUCT_FILES@", (fs::path(OSTREL_SOURCE_DIR) / "product" / "files").string()},
    };
    for (const auto& [name, value] : placeholders) {
        for (std::size_t at = text.find(name); at != std::string::npos; at = text.find(name, at + value.size()))
            text.replace(at, name.size(), value);
    }
    EXPECT_EQ(text.find("@OSTREL_"), std::string::npos) << "a name the build does not fill in is left";

    const manifest checked = Parse(text);
    EXPECT_TRUE(checked.errors.empty()) << testing::PrintToString(checked.errors);
    std::vector<bool> kinds(6);
    for (const manifest_entry& entry : checked.entries)
        kinds.at(entry.kind) = true;
    EXPECT_EQ(kinds, std::vector<bool>(6, true)) << "the product covers every kind of file";
}

TEST(Utf16FromUtf8, CodeUnitsAndRefusals)
{
    EXPECT_EQ(utf16_from_utf8("a\xC3\xA9\xE2\x82\xAC"), std::wstring(L"a\u00E9\u20AC"));
    EXPECT_EQ(utf16_from_utf8("\xF0\x9F\x98\x80"), (std::wstring{wchar_t(0xD83D), wchar_t(0xDE00)}))
        << "beyond the BMP: a surrogate pair";
    for (const char* bad : {"\xC3", "\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\x80", "\xFF"})
        EXPECT_FALSE(utf16_from_utf8(bad).has_value()) << testing::PrintToString(std::string(bad));
}
