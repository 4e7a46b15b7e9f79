#include "engine/removal_log_format.h"
#include "tests/support/log_records.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using testsupport::Record;

namespace {

// UTF-16LE bytes with the byte-order mark; every line ended by CR LF unless `lastLineEnd` is false.
std::string Utf16File(const std::vector<std::wstring>& lines, bool lastLineEnd = true)
{
    std::string bytes = "\xFF\xFE";
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::wstring line = lines[i] + (i + 1 < lines.size() || lastLineEnd ? L"\r\n" : L"");
        for (const wchar_t character : line) {
            bytes.push_back(static_cast<char>(character & 0xFF));
            bytes.push_back(static_cast<char>(character >> 8));
        }
    }
    return bytes;
}

// The reader's code page in these tests: Latin-1, where every byte is the character of that code.
std::wstring Latin1(std::string_view text)
{
    std::wstring wide;
    for (const char byte : text)
        wide.push_back(static_cast<wchar_t>(static_cast<unsigned char>(byte)));
    return wide;
}

std::string Latin1File(const std::vector<std::string>& lines)
{
    std::string bytes;
    for (const std::string& line : lines)
        bytes += line + "\r\n";
    return bytes;
}

const std::vector<std::wstring> kHeader = {
    L"// Uninstall Log File v1",
    L"// ############ WARNING: Do not delete or modify this file. ############",
    L"// Install Ostrel 4.04",
    L"// Install Path : C:\\Program Files\\Ostrel 4",
    L"// Shortcut Path : C:\\Menu\\Ostrel",
    L"// -------------------------------",
};

std::vector<std::wstring> With(std::vector<std::wstring> lines, const std::vector<std::wstring>& more)
{
    lines.insert(lines.end(), more.begin(), more.end());
    return lines;
}

std::vector<std::wstring> PathsOf(const RemovalLogContents& contents)
{
    std::vector<std::wstring> paths;
    for (const LogRecord& record : contents.records)
        paths.push_back(record.path);
    return paths;
}

} // namespace

TEST(RemovalLogFormat, RecordLines)
{
    const struct {
        std::size_t index;
        LogRecord record;
        std::wstring line;
    } cases[] = {
        {0, Record(RecordFolder, -1, true, L"C:\\Program Files\\Ostrel 4"), L"0000:00ff:1 -- C:\\Program Files\\Ostrel 4"},
        {1, Record(RecordFile, 1, true, L"C:\\O\\Ostrel.exe"), L"0001:0101:1 -- C:\\O\\Ostrel.exe"},
        {2, Record(RecordFile, 0, false, L"C:\\O\\fr.dll"), L"0002:0100:0 -- C:\\O\\fr.dll"},
        {37, Record(RecordDesktopShortcut, -1, true, L"C:\\D\\Ostrel 4.05.lnk"), L"0037:04ff:1 -- C:\\D\\Ostrel 4.05.lnk"},
        {9999, Record(RecordMenuShortcut, -1, false, L""), L"9999:02ff:0 -- "},
        {10000, Record(RecordUninstallKey, -1, true, L"HKEY_LOCAL_MACHINE\\K"), L"10000:05ff:1 -- HKEY_LOCAL_MACHINE\\K"},
        {123456, Record(RecordRegistration, -1, true, L"HKEY_CLASSES_ROOT\\..."), L"123456:06ff:1 -- HKEY_CLASSES_ROOT\\..."},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RemovalLogRecordLine(c.index, c.record), c.line) << "record " << c.index;
}

TEST(RemovalLogFormat, HeaderLines)
{
    const std::vector<std::wstring> first =
        RemovalLogHeaderLines(L"Ostrel 4.05", L"", L"C:\\Program Files\\Ostrel 4", L"C:\\Menu\\Ostrel");
    const std::vector<std::wstring> expected = {
        L"// Uninstall Log File v1",
        L"// ############ WARNING: Do not delete or modify this file. ############",
        L"// Install Ostrel 4.05",
        L"// Install Path : C:\\Program Files\\Ostrel 4",
        L"// Shortcut Path : C:\\Menu\\Ostrel",
        L"// " + std::wstring(16 + 14, L'-'),
    };
    EXPECT_EQ(first, expected);

    const std::vector<std::wstring> update = RemovalLogHeaderLines(L"Ostrel 4.05", L"Ostrel 4.04", L"C:\\O", L"");
    ASSERT_EQ(update.size(), 6u);
    EXPECT_EQ(update[2], L"// Install Ostrel 4.05 -- Update (Ostrel 4.04)");
    EXPECT_EQ(update[3], L"// Install Path : C:\\O");
    EXPECT_EQ(update[4], L"// Shortcut Path : ") << "an empty Start-menu folder leaves the label alone";
    EXPECT_EQ(update[5], L"// ----------------") << "as long as the label";
}

TEST(RemovalLogFormat, ReadsBackWhatWasWritten)
{
    const std::vector<LogRecord> written = {
        Record(RecordFolder, -1, true, L"C:\\Program Files\\Ostrel 4"),
        Record(RecordFile, 1, true, L"C:\\Program Files\\Ostrel 4\\Ostrel.exe"),
        Record(RecordFile, 3, true, L"C:\\ProgramData\\\x4E0A\x0A0A\\data.bin"),
        Record(RecordFile, 0, false, L"C:\\Program Files\\Ostrel 4\\de.dll"),
        Record(RecordMenuShortcut, -1, false, L""),
        Record(RecordDesktopShortcut, -1, true, L"C:\\Users\\Public\\Desktop\\Ostrel 4.05.lnk"),
        Record(RecordUninstallKey, -1, true, L"HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Ostrel 4"),
        Record(RecordRegistration, -1, false, L"HKEY_CLASSES_ROOT\\..."),
    };
    for (const std::wstring menuFolder : {L"C:\\Menu\\Ostrel", L""}) {
        std::vector<std::wstring> lines =
            RemovalLogHeaderLines(L"Ostrel 4.05", L"Ostrel 4.04", L"C:\\Program Files\\Ostrel 4", menuFolder);
        for (std::size_t i = 0; i < written.size(); ++i)
            lines.push_back(RemovalLogRecordLine(i, written[i]));

        const RemovalLogContents read = ReadRemovalLog(Utf16File(lines), Latin1);
        SCOPED_TRACE(testing::PrintToString(menuFolder));
        EXPECT_EQ(read.version, 1);
        EXPECT_EQ(read.previousProduct, L"Ostrel 4.05") << "the product that wrote the log, without the update note";
        EXPECT_EQ(read.installFolder, L"C:\\Program Files\\Ostrel 4");
        EXPECT_EQ(read.menuFolder, menuFolder);
        ASSERT_EQ(read.records.size(), written.size());
        for (std::size_t i = 0; i < written.size(); ++i) {
            EXPECT_EQ(read.records[i].type, written[i].type) << "record " << i;
            EXPECT_EQ(read.records[i].entryFlags, written[i].entryFlags) << "record " << i;
            EXPECT_EQ(read.records[i].done, written[i].done) << "record " << i;
            EXPECT_EQ(read.records[i].path, written[i].type >= RecordUninstallKey ? L"" : written[i].path)
                << "record " << i << ": the registry texts are not kept";
            EXPECT_TRUE(read.records[i].backup.empty());
        }
    }
}

TEST(RemovalLogFormat, ReadingStopsWhereTheTextIsNotALog)
{
    const std::wstring longPath = L"C:\\" + std::wstring(600, L'p');
    std::string oddTail = Utf16File(With(kHeader, {L"0000:0101:1 -- C:\\a"}));
    oddTail.push_back('\x30');
    std::string zeroInside = Utf16File(With(kHeader, {L"0000:0101:1 -- C:\\a", L"0001:0101:1 -- C:\\b"}));
    zeroInside[zeroInside.size() - 8] = '\0'; // the "\" of "C:\b"
    zeroInside[zeroInside.size() - 7] = '\0';

    const struct {
        const char* name;
        std::string bytes;
        std::vector<std::wstring> paths;
    } cases[] = {
        {"a complete log", Utf16File(With(kHeader, {L"0000:00ff:1 -- C:\\a", L"0001:0101:1 -- C:\\a\\b"})),
         {L"C:\\a", L"C:\\a\\b"}},
        {"the last line without line end",
         Utf16File(With(kHeader, {L"0000:00ff:1 -- C:\\a", L"0001:0101:1 -- C:\\a\\b"}), false), {L"C:\\a", L"C:\\a\\b"}},
        {"blanks around the fields and the line",
         Utf16File(With(kHeader, {L"\t 0000 : 0101 : 1   --   C:\\a  "})), {L"C:\\a"}},
        {"an index of five digits", Utf16File(With(kHeader, {L"10000:0101:1 -- C:\\a"})), {L"C:\\a"}},
        {"a comment among the records",
         Utf16File(With(kHeader, {L"0000:00ff:1 -- C:\\a", L"// more", L"0001:00ff:1 -- C:\\b"})), {L"C:\\a", L"C:\\b"}},
        {"version 2 at line 0",
         Utf16File({L"// Uninstall Log File v2", kHeader[1], kHeader[2], kHeader[3], kHeader[4], kHeader[5],
                    L"0000:0101:1 -- C:\\a"}),
         {}},
        {"no version label", Utf16File({L"// Removal Log", L"0000:0101:1 -- C:\\a"}), {}},
        {"a record line first", Utf16File({L"0000:0101:1 -- C:\\a"}), {}},
        {"no \"Install\" at line 2",
         Utf16File({kHeader[0], kHeader[1], L"// Setup Ostrel", kHeader[3], L"0000:0101:1 -- C:\\a"}), {}},
        {"no \"Install Path : \" at line 3",
         Utf16File({kHeader[0], kHeader[1], kHeader[2], L"// Folder : C:\\O", L"0000:0101:1 -- C:\\a"}), {}},
        {"no \"Shortcut Path : \" at line 4",
         Utf16File({kHeader[0], kHeader[1], kHeader[2], kHeader[3], L"// Menu : C:\\M", L"0000:0101:1 -- C:\\a"}), {}},
        {"a blank line between records",
         Utf16File(With(kHeader, {L"0000:00ff:1 -- C:\\a", L"", L"0001:0101:1 -- C:\\b"})), {L"C:\\a"}},
        {"type 7", Utf16File(With(kHeader, {L"0000:00ff:1 -- C:\\a", L"0001:07ff:1 -- C:\\b", L"0002:00ff:1 -- C:\\c"})),
         {L"C:\\a"}},
        {"a negative index", Utf16File(With(kHeader, {L"-001:0101:1 -- C:\\a"})), {}},
        {"no index", Utf16File(With(kHeader, {L":0101:1 -- C:\\a"})), {}},
        {"no colon after the index", Utf16File(With(kHeader, {L"0000 0101:1 -- C:\\a"})), {}},
        {"no code", Utf16File(With(kHeader, {L"0000::1 -- C:\\a"})), {}},
        {"done neither 0 nor 1", Utf16File(With(kHeader, {L"0000:0101:2 -- C:\\a"})), {}},
        {"no \"--\"", Utf16File(With(kHeader, {L"0000:00ff:1 -- C:\\a", L"0001:0101:1 C:\\b"})), {L"C:\\a"}},
        {"\"--\" joined to the path", Utf16File(With(kHeader, {L"0000:0101:1 --C:\\a"})), {}},
        {"a character whose low byte is a line feed",
         Utf16File(With(kHeader, {L"0000:0101:1 -- C:\\\x4E0A\\\x010A.txt", L"0001:0101:1 -- C:\\b"})),
         {L"C:\\\x4E0A\\\x010A.txt", L"C:\\b"}},
        {"a line longer than the buffer",
         Utf16File(With(kHeader, {L"0000:00ff:1 -- C:\\a", L"0001:0101:1 -- " + longPath, L"0002:0101:1 -- C:\\c"})),
         {L"C:\\a"}},
        {"the longest line the buffer holds",
         Utf16File(With(kHeader, {L"0000:0101:1 -- C:\\" + std::wstring(511 - 20, L'q'), L"0001:0101:1 -- C:\\b"})),
         {L"C:\\" + std::wstring(511 - 20, L'q'), L"C:\\b"}},
        {"one character more",
         Utf16File(With(kHeader, {L"0000:0101:1 -- C:\\" + std::wstring(512 - 20, L'q'), L"0001:0101:1 -- C:\\b"})),
         {}},
        {"an odd byte after the last character", oddTail, {L"C:\\a"}},
        {"a zero character in a path", zeroInside, {L"C:\\a"}},
        {"only the mark", "\xFF\xFE", {}},
        {"nothing", "", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PathsOf(ReadRemovalLog(c.bytes, Latin1)), c.paths) << c.name;
}

TEST(RemovalLogFormat, EightBitLogIsReadInTheReadersCodePage)
{
    const std::string bytes = Latin1File({
        "// Uninstall Log File v1",
        "// ############ WARNING: Do not delete or modify this file. ############",
        "// Install Ostrel 4.04",
        "// Install Path : C:\\Caf\xE9",
        "// Shortcut Path : C:\\Men\xFC",
        "// ---------------------",
        "0000:00ff:1 -- C:\\Caf\xE9",
        "0001:0101:1 -- C:\\Caf\xE9\\Ostrel.exe",
        "0002:0101:1 -- C:\\Caf\xE9\\" + std::string(1023 - 23 - 2, 'q'),
        "0003:0101:1 -- C:\\Caf\xE9\\" + std::string(1024 - 23 - 2, 'q'),
        "0004:0101:1 -- C:\\b",
    });
    const RemovalLogContents read = ReadRemovalLog(bytes, Latin1);
    EXPECT_EQ(read.previousProduct, L"Ostrel 4.04");
    EXPECT_EQ(read.installFolder, L"C:\\Caf\xE9");
    EXPECT_EQ(read.menuFolder, L"C:\\Men\xFC");
    const std::vector<std::wstring> paths = {L"C:\\Caf\xE9", L"C:\\Caf\xE9\\Ostrel.exe",
                                             L"C:\\Caf\xE9\\" + std::wstring(1023 - 23 - 2, L'q')};
    EXPECT_EQ(PathsOf(read), paths) << "a line of 1,023 bytes fits the buffer; one of 1,024 ends the reading";
    ASSERT_EQ(read.records.size(), 3u);
    EXPECT_EQ(read.records[1].entryFlags, 1);
}

TEST(RemovalLogFormat, HeaderValues)
{
    const RemovalLogContents read = ReadRemovalLog(
        Utf16File({L"  /// Uninstall Log File v1  ", kHeader[1], L"//Install  Ostrel 4.05 -- Update (Ostrel 4.04)",
                   L"// Install Path :   C:\\O  ", L"// Shortcut Path :", L"// ---", L"0000:0103:1 -- C:\\O\\d"}),
        Latin1);
    EXPECT_EQ(read.version, 1);
    EXPECT_EQ(read.previousProduct, L"Ostrel 4.05");
    EXPECT_EQ(read.installFolder, L"C:\\O");
    EXPECT_EQ(read.menuFolder, L"");
    ASSERT_EQ(read.records.size(), 1u);
    EXPECT_EQ(read.records[0].entryFlags, 3);
    EXPECT_EQ(read.records[0].type, RecordFile);

    EXPECT_EQ(ReadRemovalLog(Utf16File({L"// Uninstall Log File v2"}), Latin1).version, 2);
}

TEST(RemovalLogFormat, WholeLines)
{
    const struct {
        std::string bytes;
        std::size_t kept;
    } cases[] = {
        {"", 0},
        {"abc", 0},
        {"ab\r\ncd", 4},
        {"ab\r\ncd\n", 7},
        {std::string("\xFF\xFE", 2), 2},
        {std::string("\xFF\xFEh\0\n\0i\0", 8), 6},
        {std::string("\xFF\xFE\x0A\x4E\n\0", 6), 6},
        {std::string("\xFF\xFE\x0A\x4E", 4), 2}, // U+4E0A is no line end
        {std::string("\xFF\xFEh\0\n\0\n", 7), 6}, // an odd last byte is no character
    };
    for (const auto& c : cases)
        EXPECT_EQ(RemovalLogWholeLines(c.bytes).size(), c.kept) << testing::PrintToString(c.bytes);
}
