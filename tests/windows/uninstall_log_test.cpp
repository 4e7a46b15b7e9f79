#include "engine/uninstall_log.h"

#include "app/product_identity.h"
#include "engine/access_rights.h"
#include "engine/backup.h"
#include "engine/removal_log_format.h"
#include "tests/support/log_records.h"
#include "tests/support/machine_state.h"
#include "tests/support/test_files.h"

#include <gtest/gtest.h>

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

using testsupport::Record;

namespace {

namespace fs = boost::filesystem;

const std::wstring kUninstallKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Ostrel 4";

bool IsWine()
{
    const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    return ntdll != nullptr && ::GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

// The attributes a test can compare: Wine reports ARCHIVE on every file and drops
// NOT_CONTENT_INDEXED.
DWORD Attributes(const fs::path& path)
{
    DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return attributes;
    if (IsWine())
        attributes &= ~DWORD{FILE_ATTRIBUTE_NOT_CONTENT_INDEXED};
    return attributes;
}

bool FileExists(const fs::path& path)
{
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::string Utf16Bytes(const std::wstring& text)
{
    std::string bytes = "\xFF\xFE";
    for (const wchar_t character : text) {
        bytes.push_back(static_cast<char>(character & 0xFF));
        bytes.push_back(static_cast<char>(character >> 8));
    }
    return bytes;
}

std::optional<std::wstring> Environment(const wchar_t* name)
{
    wchar_t value[32768];
    const DWORD length = ::GetEnvironmentVariableW(name, value, 32768);
    if (length == 0 || length >= 32768)
        return std::nullopt;
    return std::wstring(value, length);
}

// Every test runs with a temporary folder of its own, so that the backups it makes can be seen
// and none can be left behind unnoticed.
class UninstallLogTest : public testing::Test {
protected:
    void SetUp() override
    {
        m_previousProductId = std::exchange(g_productId, kOstrel4ProductId);
        fs::create_directories(temp);
        UseTempFolder(temp.wstring());
        wchar_t folder[MAX_PATH];
        ASSERT_EQ(std::wstring(folder, ::GetTempPathW(MAX_PATH, folder)), temp.wstring() + L"\\");
    }
    void TearDown() override
    {
        std::vector<std::wstring> left;
        for (fs::directory_iterator it(temp), end; it != end; ++it)
            left.push_back(it->path().filename().wstring());
        EXPECT_EQ(left, std::vector<std::wstring>{}) << "backups left in the temporary folder";
        RestoreEnvironment(L"TMP", m_tmp);
        RestoreEnvironment(L"TEMP", m_temp);
        g_productId = m_previousProductId;
    }

    void UseTempFolder(const std::wstring& folder)
    {
        ::SetEnvironmentVariableW(L"TMP", folder.c_str());
        ::SetEnvironmentVariableW(L"TEMP", folder.c_str());
    }

    static void RestoreEnvironment(const wchar_t* name, const std::optional<std::wstring>& value)
    {
        ::SetEnvironmentVariableW(name, value ? value->c_str() : nullptr);
    }

    testsupport::ScratchFolder scratch{L"ulog"};
    const fs::path temp = scratch.path / L"temp";
    UninstallLog log;

private:
    unsigned m_previousProductId = 0;
    const std::optional<std::wstring> m_tmp = Environment(L"TMP");
    const std::optional<std::wstring> m_temp = Environment(L"TEMP");
};

// The product's uninstall key as the test found it, put back when the test ends; the key the
// test made is removed.
class UninstallKeyState {
public:
    UninstallKeyState()
    {
        vt::unique_hkey key;
        if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kUninstallKey.c_str(), 0, KEY_READ | KEY_WOW64_32KEY, key.put()) !=
            ERROR_SUCCESS)
            return;
        ::RegDeleteTreeW(HKEY_CURRENT_USER, kSnapshot);
        if (::RegCreateKeyExW(HKEY_CURRENT_USER, kSnapshot, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, m_snapshot.put(),
                              nullptr) != ERROR_SUCCESS ||
            ::RegCopyTreeW(key.get(), nullptr, m_snapshot.get()) != ERROR_SUCCESS)
            throw std::runtime_error("cannot keep a copy of the uninstall key the test prefix holds");
    }
    ~UninstallKeyState()
    {
        DeleteProductKey();
        if (!m_snapshot)
            return;
        vt::unique_hkey key;
        if (::RegCreateKeyExW(HKEY_LOCAL_MACHINE, kUninstallKey.c_str(), 0, nullptr, 0,
                              KEY_ALL_ACCESS | KEY_WOW64_32KEY, nullptr, key.put(), nullptr) == ERROR_SUCCESS)
            ::RegCopyTreeW(m_snapshot.get(), nullptr, key.get());
        m_snapshot.reset();
        ::RegDeleteTreeW(HKEY_CURRENT_USER, kSnapshot);
    }
    UninstallKeyState(const UninstallKeyState&) = delete;
    UninstallKeyState& operator=(const UninstallKeyState&) = delete;

    static void DeleteProductKey()
    {
        vt::unique_hkey parent;
        if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kUninstallKeyParent, 0, KEY_ALL_ACCESS | KEY_WOW64_32KEY,
                            parent.put()) == ERROR_SUCCESS)
            ::RegDeleteTreeW(parent.get(), L"Ostrel 4");
    }

private:
    static constexpr wchar_t kSnapshot[] = L"Software\\OstrelTests\\UninstallKeySnapshot";
    vt::unique_hkey m_snapshot;
};

vt::unique_hkey CreateProductKey()
{
    vt::unique_hkey key;
    EXPECT_EQ(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, kUninstallKey.c_str(), 0, nullptr, 0,
                                KEY_ALL_ACCESS | KEY_WOW64_32KEY, nullptr, key.put(), nullptr),
              ERROR_SUCCESS);
    return key;
}

void SetText(HKEY key, const wchar_t* subKey, const wchar_t* name, const std::wstring& text)
{
    const std::vector<BYTE> bytes = testsupport::RegistryStringBytes(text);
    EXPECT_EQ(::RegSetKeyValueW(key, subKey, name, REG_SZ, bytes.data(), static_cast<DWORD>(bytes.size())),
              ERROR_SUCCESS);
}

std::optional<std::wstring> Text(HKEY key, const wchar_t* subKey, const wchar_t* name)
{
    wchar_t value[512];
    DWORD size = sizeof value;
    if (::RegGetValueW(key, subKey, name, RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS)
        return std::nullopt;
    return std::wstring(value);
}

bool ProductKeyExists()
{
    vt::unique_hkey key;
    return ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kUninstallKey.c_str(), 0, KEY_READ | KEY_WOW64_32KEY, key.put()) ==
           ERROR_SUCCESS;
}

} // namespace

TEST_F(UninstallLogTest, SaveWritesTheExactText)
{
    const fs::path path = scratch.path / L"Uninstall.ulog";
    testsupport::WriteFileBytes(path, "an older log, read-only");
    ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY);
    log.m_strPrevProduct = L"Ostrel 4.04";
    log.m_records = {
        Record(RecordFolder, -1, true, L"C:\\O"),
        Record(RecordFile, 1, true, L"C:\\O\\Ostrel.exe"),
        Record(RecordMenuShortcut, -1, false, L""),
        Record(RecordUninstallKey, -1, true, L""),
        Record(RecordRegistration, -1, true, L""),
    };

    EXPECT_TRUE(log.Save(path.wstring(), L"C:\\O", L""));

    const std::string expected = Utf16Bytes(
        L"// Uninstall Log File v1\r\n"
        L"// ############ WARNING: Do not delete or modify this file. ############\r\n"
        L"// Install Ostrel 4.05 -- Update (Ostrel 4.04)\r\n"
        L"// Install Path : C:\\O\r\n"
        L"// Shortcut Path : \r\n"
        L"// ----------------\r\n"
        L"0000:00ff:1 -- C:\\O\r\n"
        L"0001:0101:1 -- C:\\O\\Ostrel.exe\r\n"
        L"0002:02ff:0 -- \r\n"
        L"0003:05ff:1 -- HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Ostrel 4\r\n"
        L"0004:06ff:1 -- HKEY_CLASSES_ROOT\\...\r\n");
    EXPECT_EQ(testsupport::ReadFileBytes(path), expected);
    const DWORD kept = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
    EXPECT_EQ(Attributes(path), IsWine() ? kept & ~DWORD{FILE_ATTRIBUTE_NOT_CONTENT_INDEXED} : kept);
}

TEST_F(UninstallLogTest, SaveCarriesThePreviousRecordsAheadOfTheNewOnes)
{
    const fs::path path = scratch.path / L"Uninstall.ulog";
    const std::wstring folder = (scratch.path / L"O").wstring();
    log.m_previous = {
        Record(RecordFolder, -1, true, folder),
        Record(RecordFile, 0, true, folder + L"\\old.dll"),
        Record(RecordFile, 3, true, folder + L"\\kept.dat"),
        Record(RecordFile, 1, true, folder + L"\\Ostrel.exe"),
        Record(RecordMenuShortcut, -1, true, folder + L"\\Ostrel 4.04.lnk"),
        Record(RecordUninstallKey, -1, true, L""),
        Record(RecordRegistration, -1, true, L""),
    };
    log.m_records = {
        Record(RecordFile, 1, true, folder + L"\\OSTREL.EXE"),
        Record(RecordMenuShortcut, -1, true, folder + L"\\Ostrel 4.05.lnk"),
        Record(RecordUninstallKey, -1, true, L""),
    };

    ASSERT_TRUE(log.Save(path.wstring(), folder, L""));

    EXPECT_TRUE(log.m_previous.empty());
    const RemovalLogContents read =
        ReadRemovalLog(testsupport::ReadFileBytes(path), [](std::string_view) { return std::wstring(); });
    struct Line {
        int type;
        int entryFlags;
        std::wstring path;
        bool operator==(const Line&) const = default;
    };
    std::vector<Line> lines;
    for (const LogRecord& record : read.records)
        lines.push_back({record.type, record.entryFlags, record.path});
    const std::vector<Line> expected = {
        {RecordFolder, -1, folder},
        {RecordFile, 0, folder + L"\\old.dll"},
        {RecordFile, 3, folder + L"\\kept.dat"},
        {RecordRegistration, -1, L""},
        {RecordFile, 1, folder + L"\\OSTREL.EXE"},
        {RecordMenuShortcut, -1, folder + L"\\Ostrel 4.05.lnk"},
        {RecordUninstallKey, -1, L""},
    };
    ASSERT_EQ(lines.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_TRUE(lines[i] == expected[i]) << "line " << i << ": " << testing::PrintToString(lines[i].path);
}

TEST_F(UninstallLogTest, SaveDiscardsTheBackupsEvenWhenTheLogCannotBeWritten)
{
    const fs::path file = scratch.path / L"a.txt";
    testsupport::WriteFileBytes(file, "old");
    log.AddFile(file.wstring(), 0, false);
    ASSERT_FALSE(log.m_records.back().backup.empty());
    ASSERT_TRUE(FileExists(log.m_records.back().backup));

    EXPECT_FALSE(log.Save((scratch.path / L"missing" / L"Uninstall.ulog").wstring(), L"C:\\O", L"C:\\M"));
    EXPECT_TRUE(log.m_records.back().backup.empty());
    // TearDown finds the temporary folder empty.
}

TEST_F(UninstallLogTest, LoadReadsUtf16AndEightBitLogs)
{
    const fs::path existing = scratch.path / L"Ostrel 4";
    fs::create_directories(existing);
    const std::wstring missing = (scratch.path / L"gone").wstring();
    const auto logText = [&](const std::wstring& installFolder, const std::wstring& menuFolder) {
        return L"// Uninstall Log File v1\r\n// ####\r\n// Install Ostrel 4.04 -- Update (Ostrel 4.03)\r\n"
               L"// Install Path : " +
               installFolder + L"\r\n// Shortcut Path : " + menuFolder +
               L"\r\n// ---\r\n0000:00ff:1 -- C:\\O\r\n0001:0103:1 -- C:\\O\\Data.bin\r\n0002:0100:0 -- C:\\O\\x.dll\r\n"
               L"0003:02ff:1 -- C:\\M\\Ostrel.lnk\r\n";
    };
    const fs::path wide = scratch.path / L"wide.ulog";
    testsupport::WriteFileBytes(wide, Utf16Bytes(logText(existing.wstring(), missing)));
    const fs::path narrow = scratch.path / L"narrow.ulog";
    const std::wstring narrowText = logText(missing, existing.wstring());
    testsupport::WriteFileBytes(narrow, std::string(narrowText.begin(), narrowText.end()));

    // Held open by another reader, as the uninstaller might.
    vt::unique_hfile reader(::CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                          FILE_ATTRIBUTE_NORMAL, nullptr));
    log.Load(wide.wstring());
    EXPECT_EQ(log.m_strPrevInstallFolder, existing.wstring());
    EXPECT_EQ(log.m_strPrevMenuFolder, L"") << "a Start-menu folder that no longer exists";
    EXPECT_EQ(log.m_strPrevProduct, L"Ostrel 4.04");
    ASSERT_EQ(log.m_previous.size(), 4u);
    EXPECT_EQ(log.m_previous[3].path, L"C:\\M\\Ostrel.lnk");
    EXPECT_TRUE(log.WasInstalled(L"C:\\O\\Data.bin"));
    EXPECT_FALSE(log.WasInstalled(L"C:\\O\\data.bin")) << "the comparison is exact";
    EXPECT_FALSE(log.WasInstalled(L"C:\\O\\x.dll")) << "not placed";
    EXPECT_FALSE(log.WasInstalled(L"C:\\O")) << "a folder";
    EXPECT_FALSE(log.WasInstalled(L"C:\\M\\Ostrel.lnk")) << "a shortcut";

    log.Load(narrow.wstring());
    EXPECT_EQ(log.m_strPrevInstallFolder, L"");
    EXPECT_EQ(log.m_strPrevMenuFolder, existing.wstring());
    ASSERT_EQ(log.m_previous.size(), 4u);
    EXPECT_EQ(log.m_previous[1].path, L"C:\\O\\Data.bin");
    EXPECT_EQ(log.m_previous[1].entryFlags, 3);

    log.Load((scratch.path / L"none.ulog").wstring());
    EXPECT_TRUE(log.m_previous.empty() && log.m_strPrevInstallFolder.empty() && log.m_strPrevProduct.empty());
    log.Load(narrow.wstring());
    log.Load(std::nullopt);
    EXPECT_TRUE(log.m_previous.empty() && log.m_strPrevMenuFolder.empty());
}

TEST_F(UninstallLogTest, AddFilePutsAPresentFileAside)
{
    const fs::path folder = scratch.path / L"app";
    fs::create_directories(folder);
    const fs::path program = folder / L"Ostrel.exe";
    testsupport::WriteFileBytes(program, "old program");
    ::SetFileAttributesW(program.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    const fs::path data = folder / L"data.bin";
    testsupport::WriteFileBytes(data, "user data");

    log.AddFile(program.wstring(), 1, false);
    ASSERT_EQ(log.m_records.size(), 1u) << "the folder existed";
    const LogRecord moved = log.m_records.back();
    EXPECT_TRUE(log.IsPending());
    EXPECT_EQ(moved.type, RecordFile);
    EXPECT_EQ(moved.entryFlags, 1);
    EXPECT_FALSE(moved.done);
    EXPECT_FALSE(FileExists(program)) << "moved out of the way";
    ASSERT_FALSE(moved.backup.empty());
    EXPECT_EQ(fs::path(moved.backup).parent_path(), temp);
    EXPECT_EQ(fs::path(moved.backup).filename().wstring().substr(0, 2), L"vt");
    EXPECT_EQ(testsupport::ReadFileBytes(moved.backup), "old program");
    EXPECT_EQ(Attributes(moved.backup) & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN),
              DWORD{FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN});
    log.SetResult(true);
    EXPECT_TRUE(log.m_records.back().done);
    EXPECT_FALSE(log.IsPending());

    log.AddFile(data.wstring(), 3, true);
    const LogRecord copied = log.m_records.back();
    EXPECT_EQ(testsupport::ReadFileBytes(data), "user data") << "a data file stays where it is";
    ASSERT_FALSE(copied.backup.empty());
    EXPECT_EQ(testsupport::ReadFileBytes(copied.backup), "user data");

    log.AddFile((folder / L"new.dll").wstring(), 0, false);
    EXPECT_TRUE(log.m_records.back().backup.empty()) << "nothing to put aside";
    EXPECT_FALSE(log.m_records.back().replacedWithoutBackup);

    ASSERT_TRUE(log.Save((folder / L"Uninstall.ulog").wstring(), folder.wstring(), L""));
    EXPECT_FALSE(FileExists(moved.backup));
    EXPECT_FALSE(FileExists(copied.backup));
}

TEST_F(UninstallLogTest, CreateFoldersRecordsEachLevelItMadeParentFirst)
{
    const fs::path deepest = scratch.path / L"a" / L"b b" / L"c";
    log.CreateFolders(deepest.wstring() + L"\\");

    ASSERT_EQ(log.m_records.size(), 3u);
    const fs::path levels[] = {scratch.path / L"a", scratch.path / L"a" / L"b b", deepest};
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(log.m_records[i].type, RecordFolder);
        EXPECT_EQ(log.m_records[i].path, levels[i].wstring());
        EXPECT_TRUE(log.m_records[i].done);
        EXPECT_EQ(log.m_records[i].entryFlags, -1);
        EXPECT_TRUE(fs::is_directory(levels[i]));
    }
    EXPECT_FALSE(log.IsPending());

    log.CreateFolders(deepest.wstring());
    EXPECT_EQ(log.m_records.size(), 3u) << "nothing new to make";

    testsupport::WriteFileBytes(scratch.path / L"file", "x");
    log.CreateFolders((scratch.path / L"file" / L"e").wstring());
    EXPECT_EQ(log.m_records.size(), 3u) << "a file where a folder should be";

    log.AddFile((scratch.path / L"f" / L"g" / L"h.txt").wstring(), 0, false);
    ASSERT_EQ(log.m_records.size(), 6u);
    EXPECT_EQ(log.m_records[3].path, (scratch.path / L"f").wstring());
    EXPECT_EQ(log.m_records[4].path, (scratch.path / L"f" / L"g").wstring());
    EXPECT_EQ(log.m_records[5].type, RecordFile) << "the file after its folders";
    log.Rollback();
}

TEST_F(UninstallLogTest, AddShortcutPutsThePreviousShortcutAsideAndRollbackReturnsItToItsPlace)
{
    const fs::path oldMenu = scratch.path / L"menu";
    fs::create_directories(oldMenu);
    const fs::path oldShortcut = oldMenu / L"Ostrel 4.04.lnk";
    testsupport::WriteFileBytes(oldShortcut, "old link");
    log.m_previous = {
        Record(RecordDesktopShortcut, -1, true, (scratch.path / L"no such.lnk").wstring()),
        Record(RecordMenuShortcut, -1, true, (scratch.path / L"gone.lnk").wstring()),
        Record(RecordMenuShortcut, -1, true, oldShortcut.wstring()),
    };
    const fs::path newMenu = scratch.path / L"new menu" / L"Ostrel";

    log.AddShortcut(UninstallLog::MenuProgramShortcut, newMenu.wstring());
    ASSERT_EQ(log.m_records.size(), 3u);
    EXPECT_EQ(log.m_records[0].path, (scratch.path / L"new menu").wstring());
    EXPECT_EQ(log.m_records[1].path, newMenu.wstring());
    const LogRecord& shortcut = log.m_records[2];
    EXPECT_EQ(shortcut.type, RecordMenuShortcut);
    EXPECT_EQ(shortcut.path, L"");
    EXPECT_TRUE(log.IsPending());
    EXPECT_FALSE(FileExists(oldShortcut)) << "the previous installation's shortcut is moved aside";
    ASSERT_FALSE(shortcut.backup.empty());
    EXPECT_EQ(testsupport::ReadFileBytes(shortcut.backup), "old link");
    log.SetResult(false); // the new shortcut could not be made

    log.AddShortcut(UninstallLog::DesktopProgramShortcut, scratch.path.wstring());
    EXPECT_TRUE(log.m_records.back().backup.empty()) << "the previous desktop shortcut is gone already";
    const fs::path desktopShortcut = scratch.path / L"Ostrel 4.05.lnk";
    testsupport::WriteFileBytes(desktopShortcut, "new link");
    const std::wstring made = desktopShortcut.wstring();
    log.SetResult(true, &made);

    log.Rollback();
    EXPECT_EQ(testsupport::ReadFileBytes(oldShortcut), "old link") << "back under its own name";
    EXPECT_FALSE(FileExists(desktopShortcut));
    EXPECT_FALSE(fs::exists(scratch.path / L"new menu"));
    EXPECT_EQ(log.m_previous.size(), 3u) << "the previous log stays as read";
}

TEST_F(UninstallLogTest, RollbackPutsBackWhatWasReplacedAndRemovesWhatWasMade)
{
    const fs::path kept = scratch.path / L"kept";
    fs::create_directories(kept);
    const fs::path replaced = kept / L"Ostrel.exe";
    testsupport::WriteFileBytes(replaced, "old program");
    ::SetFileAttributesW(replaced.c_str(), FILE_ATTRIBUTE_READONLY);
    const DWORD replacedAttributes = Attributes(replaced);
    log.m_previous = {Record(RecordFile, 0, true, L"C:\\O\\x.dll")};

    log.AddFile(replaced.wstring(), 1, false);
    testsupport::WriteFileBytes(replaced, "new program");
    log.SetResult(true);
    log.AddFile((kept / L"new.dll").wstring(), 0, false);
    testsupport::WriteFileBytes(kept / L"new.dll", "new");
    log.SetResult(true);
    const fs::path made = scratch.path / L"made" / L"deeper";
    log.AddFile((made / L"data.bin").wstring(), 3, true);
    testsupport::WriteFileBytes(made / L"data.bin", "half"); // the extraction fails while writing

    log.Rollback();

    EXPECT_EQ(testsupport::ReadFileBytes(replaced), "old program");
    EXPECT_EQ(Attributes(replaced), replacedAttributes) << "a read-only file comes back read-only";
    EXPECT_FALSE(fs::exists(kept / L"new.dll"));
    EXPECT_FALSE(fs::exists(scratch.path / L"made")) << "the folders this installation made";
    EXPECT_TRUE(fs::is_directory(kept)) << "a folder that existed before";
    EXPECT_TRUE(log.m_records.empty());
    EXPECT_FALSE(log.IsPending());
    EXPECT_EQ(log.m_previous.size(), 1u);
}

TEST_F(UninstallLogTest, RollbackLeavesAFileThatCouldNotBePutAside)
{
    const fs::path program = scratch.path / L"Ostrel.exe";
    testsupport::WriteFileBytes(program, "user's only copy");
    const fs::path data = scratch.path / L"data.bin";
    testsupport::WriteFileBytes(data, "user data");
    // A temporary folder too long for a temporary name: no backup can be made.
    UseTempFolder(L"C:\\" + std::wstring(250, L'x'));
    EXPECT_EQ(BackupToTemp(nullptr, false), L"");
    const std::wstring source = program.wstring();
    EXPECT_EQ(BackupToTemp(&source, true), L"");
    EXPECT_EQ(BackupToTemp(&source, false), L"");

    log.AddFile(program.wstring(), 0, false);
    log.AddFile(data.wstring(), 3, true);
    UseTempFolder(temp.wstring());
    for (const LogRecord& record : log.m_records) {
        EXPECT_TRUE(record.backup.empty());
        EXPECT_TRUE(record.replacedWithoutBackup);
    }
    EXPECT_EQ(testsupport::ReadFileBytes(program), "user's only copy") << "a failed move leaves the file";

    log.Rollback();
    EXPECT_EQ(testsupport::ReadFileBytes(program), "user's only copy");
    EXPECT_EQ(testsupport::ReadFileBytes(data), "user data");
}

TEST_F(UninstallLogTest, RollbackDeletesANewUninstallKey)
{
    testsupport::MachineStateLock lock;
    UninstallKeyState state;
    UninstallKeyState::DeleteProductKey();

    log.AddUninstallKey(nullptr);
    EXPECT_TRUE(log.m_records.back().backup.empty());
    {
        vt::unique_hkey key = CreateProductKey();
        SetText(key.get(), nullptr, L"DisplayName", L"Ostrel 4");
        SetText(key.get(), L"Sub", L"Value", L"x");
    }
    log.SetResult(true);
    ASSERT_TRUE(ProductKeyExists());

    log.Rollback();
    EXPECT_FALSE(ProductKeyExists());
}

TEST_F(UninstallLogTest, AnExistingUninstallKeyIsSavedAndPutBack)
{
    testsupport::MachineStateLock lock;
    UninstallKeyState state;
    UninstallKeyState::DeleteProductKey();
    vt::unique_hkey key = CreateProductKey();
    SetText(key.get(), nullptr, L"DisplayName", L"Ostrel 4 (old)");
    SetText(key.get(), L"Sub", L"Value", L"old sub-key value");

    log.AddUninstallKey(key.get());
    const std::wstring backup = log.m_records.back().backup;
    ASSERT_FALSE(backup.empty());
    ASSERT_TRUE(FileExists(backup));
    {
        // The hive holds the key as it was.
        const wchar_t* const hive = L"OstrelTests.UninstallKeyBackup";
        ASSERT_TRUE(SetPrivilege(L"SeRestorePrivilege", true));
        ASSERT_EQ(::RegLoadKeyW(HKEY_USERS, hive, backup.c_str()), ERROR_SUCCESS);
        vt::unique_hkey loaded;
        EXPECT_EQ(::RegOpenKeyExW(HKEY_USERS, hive, 0, KEY_READ, loaded.put()), ERROR_SUCCESS);
        EXPECT_EQ(Text(loaded.get(), nullptr, L"DisplayName"), L"Ostrel 4 (old)");
        EXPECT_EQ(Text(loaded.get(), L"Sub", L"Value"), L"old sub-key value");
        loaded.reset();
        EXPECT_EQ(::RegUnLoadKeyW(HKEY_USERS, hive), ERROR_SUCCESS);
        SetPrivilege(L"SeRestorePrivilege", false);
    }
    SetText(key.get(), nullptr, L"DisplayName", L"Ostrel 4");
    SetText(key.get(), nullptr, L"VtLanguage", L"1");
    key.reset();
    log.SetResult(true);

    log.Rollback();
    EXPECT_FALSE(FileExists(backup)) << "the hive is removed once used";
    ASSERT_TRUE(ProductKeyExists()) << "an existing key is restored, not deleted";
    if (IsWine())
        GTEST_SKIP() << "Wine's RegRestoreKeyW is a stub (returns success, restores nothing)";
    vt::unique_hkey restored;
    ASSERT_EQ(::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kUninstallKey.c_str(), 0, KEY_READ | KEY_WOW64_32KEY,
                              restored.put()),
              ERROR_SUCCESS);
    EXPECT_EQ(Text(restored.get(), nullptr, L"DisplayName"), L"Ostrel 4 (old)");
    EXPECT_EQ(Text(restored.get(), nullptr, L"VtLanguage"), std::nullopt) << "the value the installation added";
    EXPECT_EQ(Text(restored.get(), L"Sub", L"Value"), L"old sub-key value");
}
