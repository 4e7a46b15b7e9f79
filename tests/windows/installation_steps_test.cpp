// The installation run's own steps, each on its own: shortcuts, the product's registration and
// the run's temporary files.
#include "app/languages.h"
#include "app/named_objects.h"
#include "app/product_identity.h"
#include "engine/launch.h"
#include "engine/registration.h"
#include "engine/shortcut.h"
#include "engine/temporary_files.h"
#include "engine/uninstall_log.h"
#include "framework/unique_resource.h"
#include "tests/support/machine_state.h"
#include "tests/support/product_stand_ins.h"
#include "tests/support/registry_values.h"
#include "tests/support/shell_link.h"
#include "tests/support/test_files.h"

#include <gtest/gtest.h>

#include <shlobj.h>

#include <optional>
#include <vector>

namespace {

using testsupport::ScratchFolder;

TEST(Shortcut, PointsAtTheTargetAndStartsInItsFolder)
{
    ScratchFolder scratch(L"shortcut");
    const std::wstring programFolder = (scratch.path / L"Program Files With Blanks").wstring();
    ::CreateDirectoryW(programFolder.c_str(), nullptr);
    const std::wstring target = programFolder + L"\\Ostrel.exe";
    testsupport::WriteFileBytes(target, "stand-in");

    std::wstring link;
    ASSERT_TRUE(CreateShortcut(target, scratch.path.wstring(), std::wstring(L"Ostrel 4.05"), &link));
    EXPECT_EQ(link, (scratch.path / L"Ostrel 4.05.lnk").wstring());
    const auto read = testsupport::ReadShortcut(link);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->target, target);
    EXPECT_EQ(read->workingFolder, programFolder);

    // Without a name the shortcut takes the target's file name, without its extension.
    ASSERT_TRUE(CreateShortcut(target, scratch.path.wstring(), std::nullopt, &link));
    EXPECT_EQ(link, (scratch.path / L"Ostrel.lnk").wstring());
}

TEST(Shortcut, FailsWithoutWritingWhereItCannotBe)
{
    ScratchFolder scratch(L"shortcut");
    const std::wstring target = (scratch.path / L"Ostrel.exe").wstring();
    const struct {
        const char* why;
        std::wstring target;
        std::wstring folder;
        std::wstring name;
    } cases[] = {
        {"a folder that does not exist", target, (scratch.path / L"missing").wstring(), L"Ostrel"},
        {"a target with no element to remove", L"C:\\", scratch.path.wstring(), L"Ostrel"},
        {"a shortcut path beyond MAX_PATH", target, scratch.path.wstring(), std::wstring(250, L'x')},
    };
    for (const auto& c : cases) {
        std::wstring link = L"untouched";
        EXPECT_FALSE(CreateShortcut(c.target, c.folder, c.name, &link)) << c.why;
        EXPECT_EQ(link, L"untouched") << c.why;
    }
    EXPECT_EQ(scratch.Count(), 0u);
}

// The product's uninstall key, which must not exist when the test starts; deleted afterwards.
class UninstallKeyTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_previousProductId = g_productId;
        g_productId = kOstrel4ProductId;
        ASSERT_FALSE(testsupport::RegistryKeyExists(UninstallKeyName()))
            << "another test left the product's uninstall key behind";
    }
    void TearDown() override
    {
        vt::unique_hkey parent;
        if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kUninstallKeyParent, 0, KEY_ALL_ACCESS | KEY_WOW64_32KEY,
                            parent.put()) == ERROR_SUCCESS)
            ::RegDeleteTreeW(parent.get(), ProductDisplayName(g_productId).c_str());
        for (const LogRecord& record : m_log.m_records)
            if (!record.backup.empty())
                ::DeleteFileW(record.backup.c_str());
        g_productId = m_previousProductId;
    }

    testsupport::MachineStateLock m_lock;
    UninstallLog m_log;
    unsigned m_previousProductId = 0;
};

std::vector<BYTE> DwordBytes(DWORD value)
{
    return {reinterpret_cast<const BYTE*>(&value), reinterpret_cast<const BYTE*>(&value) + sizeof(value)};
}

TEST_F(UninstallKeyTest, WritesTheTwelveValuesAndKeepsOthers)
{
    // A value some other tool put into the key stays.
    testsupport::RegistryValueGuard other =
        testsupport::RegistryValueGuard::Text(UninstallKeyName(), L"Comments", L"kept");
    const InstalledFiles files{L"C:\\Program Files\\Vantor & Lind\\Ostrel 4\\Ostrel.exe",
                               L"C:\\Program Files\\Vantor & Lind\\Ostrel 4\\Uninstall.exe"};
    ASSERT_TRUE(WriteUninstallKey(m_log, files, 2));

    using testsupport::RegistryStringBytes;
    const struct {
        const wchar_t* name;
        DWORD type;
        std::vector<BYTE> data;
    } expected[] = {
        {L"DisplayName", REG_SZ, RegistryStringBytes(L"Ostrel 4.05")},
        {L"UninstallString", REG_SZ, RegistryStringBytes(files.uninstallerPath)},
        {L"DisplayIcon", REG_SZ, RegistryStringBytes(files.programPath + L",0")},
        {L"DisplayVersion", REG_SZ, RegistryStringBytes(L"4.5.0.1")},
        {L"Publisher", REG_SZ, RegistryStringBytes(L"Vantor & Lind")},
        {L"URLInfoAbout", REG_SZ, RegistryStringBytes(L"https://www.vantor-lind.example/")},
        {L"HelpLink", REG_SZ, RegistryStringBytes(L"https://www.vantor-lind.example/")},
        {L"URLUpdateInfo", REG_SZ, RegistryStringBytes(L"https://www.vantor-lind.example/")},
        {L"HelpTelephone", REG_SZ, RegistryStringBytes(L"+33 3 88 52 40 10")},
        {L"NoModify", REG_DWORD, DwordBytes(1)},
        {L"NoRepair", REG_DWORD, DwordBytes(1)},
        {L"VtLanguage", REG_DWORD, DwordBytes(2)},
        {L"Comments", REG_SZ, RegistryStringBytes(L"kept")},
    };
    for (const auto& value : expected) {
        const auto stored = testsupport::ReadRegistryValue(UninstallKeyName(), value.name);
        ASSERT_TRUE(stored) << testing::PrintToString(std::wstring(value.name));
        EXPECT_EQ(stored->type, value.type) << testing::PrintToString(std::wstring(value.name));
        EXPECT_EQ(stored->data, value.data) << testing::PrintToString(std::wstring(value.name));
    }

    // Journalled as done, so that the uninstaller removes the key and a rollback undoes it.
    ASSERT_FALSE(m_log.m_records.empty());
    EXPECT_EQ(m_log.m_records.back().type, RecordUninstallKey);
    EXPECT_TRUE(m_log.m_records.back().done);
    EXPECT_FALSE(m_log.IsPending());
}

TEST(ProgramPath, IsWrittenUnderTheMakersKey)
{
    testsupport::MachineStateLock lock;
    const unsigned previousProductId = std::exchange(g_productId, kOstrel4ProductId);
    // The guard puts back whatever the value was.
    testsupport::RegistryValueGuard guard(MakerKeyName(), ProgramPathValueName(), std::nullopt);
    const std::wstring program = L"C:\\Apps\\Ostrel 4\\Ostrel.exe";
    ASSERT_TRUE(RegisterProgramPath(program));

    const auto stored = testsupport::ReadRegistryValue(MakerKeyName(), ProgramPathValueName());
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->type, static_cast<DWORD>(REG_SZ));
    // Stored with its terminating zero.
    EXPECT_EQ(stored->data, testsupport::RegistryStringBytes(program));
    g_productId = previousProductId;
}

TEST(TemporaryFiles, RemovesItsFilesAndItsFolderWhenTheRunEnds)
{
    ScratchFolder scratch(L"temporary");
    const boost::filesystem::path folder = scratch.path / L"vantor_{run}";
    boost::filesystem::create_directories(folder);
    const std::wstring readOnly = (folder / L"setup-note.txt").wstring();
    const std::wstring plain = (folder / L"helper.dat").wstring();
    testsupport::WriteFileBytes(readOnly, "note");
    testsupport::WriteFileBytes(plain, "data");
    ::SetFileAttributesW(readOnly.c_str(), FILE_ATTRIBUTE_READONLY);
    {
        TemporaryFiles files(folder.wstring());
        EXPECT_EQ(g_temporaryFiles, &files);
        files.files = {readOnly, plain, (folder / L"never-written.tmp").wstring()};
    }
    EXPECT_EQ(g_temporaryFiles, nullptr);
    EXPECT_FALSE(boost::filesystem::exists(folder)) << "the emptied folder goes too";

    // A folder that holds something else stays, with that file.
    boost::filesystem::create_directories(folder);
    const std::wstring foreign = (folder / L"not-ours.txt").wstring();
    testsupport::WriteFileBytes(foreign, "x");
    { TemporaryFiles files(folder.wstring()); }
    EXPECT_TRUE(boost::filesystem::exists(foreign));
}

// An environment variable set for the test's child processes, and put back afterwards.
class EnvironmentGuard {
public:
    EnvironmentGuard(const wchar_t* name, const std::optional<std::wstring>& value) : m_name(name)
    {
        wchar_t previous[64] = {};
        if (::GetEnvironmentVariableW(name, previous, 64) > 0)
            m_previous = previous;
        ::SetEnvironmentVariableW(name, value ? value->c_str() : nullptr);
    }
    ~EnvironmentGuard() { ::SetEnvironmentVariableW(m_name, m_previous ? m_previous->c_str() : nullptr); }
    EnvironmentGuard(const EnvironmentGuard&) = delete;
    EnvironmentGuard& operator=(const EnvironmentGuard&) = delete;

private:
    const wchar_t* m_name;
    std::optional<std::wstring> m_previous;
};

TEST(RegistrationRun, TellsTheProgramWhatItUpdatesAndCountsOnlyItsSuccess)
{
    ScratchFolder scratch(L"registration");
    const boost::filesystem::path folder = scratch.path / L"Program Files With Blanks";
    boost::filesystem::create_directories(folder);
    const std::wstring program = (folder / L"Ostrel.exe").wstring();
    ASSERT_TRUE(::CopyFileW(testsupport::StandInProgram().c_str(), program.c_str(), TRUE));

    const struct {
        const char* what;
        std::wstring program;
        std::uint64_t installedVersion;
        std::optional<std::wstring> exitStatus; // the stand-in's answer, -10 when not given
        bool registered;
        std::wstring arguments; // what the program was told; empty: it did not run
    } cases[] = {
        {"a first installation", program, 0, std::nullopt, true, L"/Register /Background"},
        {"an update of 4.4.0.0", program, PackFileVersion(4, 4, 0, 0), std::nullopt, true,
         L"/Register /Background /update=0004000400000000"},
        {"a program ending with 0", program, 0, L"0", false, L"/Register /Background"},
        {"a program that is not there", (folder / L"Missing.exe").wstring(), 0, std::nullopt, false, L""},
        {"no program at all", L"", 0, std::nullopt, false, L""},
    };
    for (const auto& c : cases) {
        boost::filesystem::remove(testsupport::RegistrationFile(folder.wstring()).wstring());
        EnvironmentGuard status(L"OSTREL_STAND_IN_EXIT_STATUS", c.exitStatus);
        NamedMutex lock(testsupport::UniqueName(L"installer-lock"), true, false);
        ASSERT_TRUE(lock.owned());
        UninstallLog log;
        log.AddRegistration();

        EXPECT_EQ(RunRegistration(log, c.program, c.installedVersion, lock), c.registered) << c.what;
        EXPECT_EQ(log.m_records.back().done, c.registered) << c.what;
        EXPECT_FALSE(log.IsPending()) << c.what;
        EXPECT_TRUE(lock.owned()) << c.what << ": the lock is taken back after the run";

        const auto runs = testsupport::ReadRegistrations(folder.wstring());
        if (c.arguments.empty()) {
            EXPECT_TRUE(runs.empty()) << c.what;
            continue;
        }
        ASSERT_EQ(runs.size(), 1u) << c.what;
        EXPECT_EQ(runs[0].arguments, c.arguments) << c.what;
        EXPECT_EQ(runs[0].workingFolder, folder.wstring()) << c.what << ": started in its own folder";
    }
}

TEST(RegistrationRun, CommandLineQuotesTheProgramOnlyByItsCaller)
{
    EXPECT_EQ(RegistrationCommandLine(L"\"C:\\Program Files\\Ostrel.exe\"", 0),
              L"\"C:\\Program Files\\Ostrel.exe\" /Register /Background");
    EXPECT_EQ(RegistrationCommandLine(L"C:\\Apps\\Ostrel.exe", PackFileVersion(4, 5, 0xABCD, 9)),
              L"C:\\Apps\\Ostrel.exe /Register /Background /update=00040005abcd0009");
}

} // namespace
