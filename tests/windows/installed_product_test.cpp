#include "app/installed_product.h"

#include "app/languages.h"
#include "app/product_identity.h"
#include "tests/fixtures/installed_programs.h"
#include "tests/support/child_process.h"
#include "tests/support/machine_state.h"
#include "tests/support/test_files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <optional>

using testsupport::InstalledProgramFixture;
using testsupport::RegistryStringBytes;
using testsupport::RegistryValueGuard;

namespace {

const std::wstring kMakerKey = L"Software\\Vantor & Lind";
const std::wstring kProgramPathValue = L"Ostrel 4 Path";
const std::wstring kUninstallKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Ostrel 4";

bool Exists(const std::wstring& path)
{
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The size of the program-path value as stored, to show that the registry kept the bytes a
// case is about.
std::optional<DWORD> StoredProgramPathSize()
{
    vt::unique_hkey key;
    DWORD size = 0;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kMakerKey.c_str(), 0, KEY_QUERY_VALUE | KEY_WOW64_32KEY, key.put()) !=
            ERROR_SUCCESS ||
        ::RegQueryValueExW(key.get(), kProgramPathValue.c_str(), nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS)
        return std::nullopt;
    return size;
}

// Makes `folder` the process's current folder until destroyed.
class CurrentFolderGuard {
public:
    explicit CurrentFolderGuard(const std::filesystem::path& folder) : m_previous(std::filesystem::current_path())
    {
        std::filesystem::current_path(folder);
    }
    ~CurrentFolderGuard()
    {
        std::error_code ignored;
        std::filesystem::current_path(m_previous, ignored);
    }
    CurrentFolderGuard(const CurrentFolderGuard&) = delete;
    CurrentFolderGuard& operator=(const CurrentFolderGuard&) = delete;

private:
    std::filesystem::path m_previous;
};

// The probe's tests change the product's registry values and files beside this program, which
// the prefix shares with every test process running beside this one: the lock keeps those out.
// The product identifier is the installer's, and the version texts are the English ones.
class InstalledProduct : public testing::Test {
protected:
    InstalledProduct() : m_previousProductId(g_productId), m_previousLanguage(GetLanguageState().index)
    {
        g_productId = kOstrel4ProductId;
        SetLanguage(kEnglish);
    }
    ~InstalledProduct() override
    {
        SetLanguage(m_previousLanguage);
        g_productId = m_previousProductId;
    }

    static RegistryValueGuard ProgramPath(const std::wstring& path, DWORD type = REG_SZ)
    {
        return RegistryValueGuard::Text(kMakerKey, kProgramPathValue, path, type);
    }

private:
    testsupport::MachineStateLock m_lock;
    unsigned m_previousProductId;
    int m_previousLanguage;
};

} // namespace

TEST_F(InstalledProduct, VersionOfTheInstalledProgramDecidesTheMode)
{
    const struct {
        const wchar_t* fixture;
        InstallMode mode;
        const wchar_t* versionText;
        std::uint64_t version;
    } cases[] = {
        {L"4.5.0.1", ModeSame, L"", 0},
        {L"4.5.0.2", ModeNewer, L"Ostrel 4.05 SP1", 0},
        {L"4.6.0.0", ModeNewer, L"Ostrel 4.06", 0},
        {L"4.5.0.0-beta", ModeUpdate, L"Ostrel 4.05 beta", 0x0004000500000000u},
        {L"4.4.9.9", ModeUpdate, L"Ostrel 4.04", 0x0004000400090009u},
        // Without a Unicode translation the file version is still read, but no text.
        {L"4.4.0.0-ansi", ModeUpdate, L"", 0x0004000400000000u},
        {L"unversioned", ModeSame, L"", 0},
    };
    for (const auto& [fixture, mode, versionText, version] : cases) {
        SCOPED_TRACE(testing::Message() << "installed program " << fixture);
        const std::wstring program = InstalledProgramFixture(fixture);
        ASSERT_TRUE(Exists(program)) << "the target installed_program_fixtures builds it";
        const RegistryValueGuard value = ProgramPath(program);

        const std::wstring path = ComputeInstalledProgramPath();
        EXPECT_EQ(path, program);
        const InstallModeDecision decision = DecideInstallModeFor(path);
        EXPECT_EQ(decision.mode, mode);
        EXPECT_EQ(decision.installedVersionText, versionText);
        EXPECT_EQ(decision.installedVersion, version) << std::hex << decision.installedVersion;
    }
}

TEST_F(InstalledProduct, OnlyAFinishedStringNamingAnExistingFullPathIsAnInstallation)
{
    const std::wstring program = InstalledProgramFixture(L"4.4.9.9");
    ASSERT_TRUE(Exists(program)) << "the target installed_program_fixtures builds it";
    const std::wstring folder = std::filesystem::path(program).parent_path().wstring();
    const std::wstring relative = std::filesystem::relative(program).wstring();
    ASSERT_TRUE(Exists(relative)) << "the relative path names the program from the current folder";
    wchar_t expanded[MAX_PATH] = {};
    ::ExpandEnvironmentStringsW(L"%SystemRoot%\\notepad.exe", expanded, MAX_PATH);
    ASSERT_TRUE(Exists(expanded)) << "expanded, the variable would name an existing program";

    const std::vector<BYTE> text = RegistryStringBytes(program);
    const DWORD textSize = static_cast<DWORD>(text.size());
    // What follows the stored bytes in the buffer is chosen too: a registry that finds a NUL right
    // after a string's data may store that NUL with it.
    const std::vector<BYTE> unfinished = RegistryStringBytes(program + L"X"); // stored without "X" and NUL
    std::vector<BYTE> oddSized = text; // stored with one more zero byte
    oddSized.insert(oddSized.end(), {0, 'X', 0, 0});
    const std::vector<BYTE> multiString = RegistryStringBytes(program + L'\0');

    const struct {
        const char* what;
        std::vector<BYTE> data;
        DWORD type;
        std::optional<DWORD> storedSize; // all of `data` when not given
        std::wstring expected;
    } cases[] = {
        {"REG_SZ", text, REG_SZ, {}, program},
        {"REG_EXPAND_SZ without variables", text, REG_EXPAND_SZ, {}, program},
        {"a folder", RegistryStringBytes(folder), REG_SZ, {}, folder},
        {"a stale path", RegistryStringBytes(L"C:\\no such folder\\Ostrel.exe"), REG_SZ, {}, L""},
        {"REG_EXPAND_SZ taken literally", RegistryStringBytes(L"%SystemRoot%\\notepad.exe"), REG_EXPAND_SZ, {}, L""},
        {"no NUL at the end", unfinished, REG_SZ, textSize - sizeof(wchar_t), L""},
        {"odd size", oddSized, REG_SZ, textSize + 1, L""},
        {"REG_BINARY", text, REG_BINARY, {}, L""},
        {"REG_MULTI_SZ", multiString, REG_MULTI_SZ, {}, L""},
        {"a relative path", RegistryStringBytes(relative), REG_SZ, {}, L""},
        {"an empty text", RegistryStringBytes(L""), REG_SZ, {}, L""},
    };
    for (const auto& [what, data, type, storedSize, expected] : cases) {
        SCOPED_TRACE(what);
        const RegistryValueGuard value(kMakerKey, kProgramPathValue, data, type, storedSize);
        ASSERT_EQ(StoredProgramPathSize(), storedSize.value_or(static_cast<DWORD>(data.size())))
            << "the registry did not keep the bytes this case is about";

        const std::wstring path = ComputeInstalledProgramPath();
        EXPECT_EQ(path, expected);
        if (expected.empty()) {
            EXPECT_EQ(DecideInstallModeFor(path).mode, ModeFresh);
        }
    }

    const RegistryValueGuard none(kMakerKey, kProgramPathValue, std::nullopt);
    EXPECT_EQ(ComputeInstalledProgramPath(), L"") << "no value";
    EXPECT_EQ(DecideInstallModeFor(L"").mode, ModeFresh);
}

TEST_F(InstalledProduct, ProgramPathIsReadOncePerProcess)
{
    const std::wstring first = GetInstalledProgramPath();
    const std::wstring other = InstalledProgramFixture(first == InstalledProgramFixture(L"4.6.0.0") ? L"4.4.9.9" : L"4.6.0.0");
    ASSERT_TRUE(Exists(other)) << "the target installed_program_fixtures builds it";
    const RegistryValueGuard value = ProgramPath(other);

    EXPECT_EQ(ComputeInstalledProgramPath(), other) << "the registry now names another program";
    EXPECT_EQ(GetInstalledProgramPath(), first) << "but the process keeps the path it read first";
}

TEST_F(InstalledProduct, UninstallLogCandidatesInOrder)
{
    testsupport::ScratchFolder scratch(L"previous-installation");
    const std::filesystem::path root(scratch.path.wstring());
    for (const wchar_t* folder : {L"uninstaller", L"installer", L"program", L"current"})
        std::filesystem::create_directory(root / folder);
    const std::wstring uninstaller = (root / L"uninstaller" / L"Uninstall.exe").wstring();
    const std::wstring installer = (root / L"installer" / L"InstallOstrel4.05.exe").wstring();
    const std::wstring program = (root / L"program" / L"Ostrel.exe").wstring();
    const std::wstring logs[] = {(root / L"uninstaller" / kUninstallLogName).wstring(),
                                 (root / L"installer" / kUninstallLogName).wstring(),
                                 (root / L"program" / kUninstallLogName).wstring()};
    // A log in the current folder, which a path without a folder would find.
    const CurrentFolderGuard current(root / L"current");
    const testsupport::NewFileGuard currentLog((root / L"current" / kUninstallLogName).wstring());

    constexpr int kNone = -1;
    const struct {
        const char* what;
        std::optional<std::wstring> uninstallString;
        bool present[3]; // beside the uninstaller, the installer, the program
        int found;       // index into logs
    } cases[] = {
        {"all three", uninstaller, {true, true, true}, 0},
        {"the installer's before the program's", uninstaller, {false, true, true}, 1},
        {"a stale uninstaller path", L"C:\\no such folder\\Uninstall.exe", {false, true, true}, 1},
        {"no uninstaller path", std::nullopt, {true, true, true}, 1},
        {"only beside the program", uninstaller, {false, false, true}, 2},
        {"an empty uninstaller path", L"", {false, false, true}, 2},
        {"an uninstaller path without a folder", L"Uninstall.exe", {false, false, true}, 2},
        {"none", uninstaller, {false, false, false}, kNone},
    };
    for (const auto& [what, uninstallString, present, found] : cases) {
        SCOPED_TRACE(what);
        const RegistryValueGuard value(kUninstallKey, L"UninstallString",
                                       uninstallString ? std::optional(RegistryStringBytes(*uninstallString))
                                                       : std::nullopt);
        std::vector<std::unique_ptr<testsupport::NewFileGuard>> files;
        for (int candidate = 0; candidate < 3; ++candidate)
            if (present[candidate])
                files.push_back(std::make_unique<testsupport::NewFileGuard>(logs[candidate]));

        EXPECT_EQ(FindUninstallLog(installer, program), found == kNone ? L"" : logs[found]);
    }
    EXPECT_EQ(FindUninstallLog(L"", L""), L"") << "no installer or program path";
}

TEST_F(InstalledProduct, LogBesideTheRunningInstallerIsFoundWhenTheUninstallKeyIsStale)
{
    const std::wstring besideMe = testsupport::ProgramFolder() + L"\\" + kUninstallLogName;
    {
        const RegistryValueGuard stale =
            RegistryValueGuard::Text(kUninstallKey, L"UninstallString", L"C:\\no such folder\\Uninstall.exe");
        const testsupport::NewFileGuard log(besideMe);
        EXPECT_EQ(FindUninstallLog(), besideMe);
    }
    EXPECT_FALSE(Exists(besideMe)) << "the log beside the test program was removed";

    // A log beside the uninstaller that the key names comes first.
    testsupport::ScratchFolder scratch(L"previous-installation");
    const std::wstring uninstaller = (scratch.path / L"Uninstall.exe").wstring();
    const testsupport::NewFileGuard keyLog((scratch.path / kUninstallLogName).wstring());
    const RegistryValueGuard key = RegistryValueGuard::Text(kUninstallKey, L"UninstallString", uninstaller);
    const testsupport::NewFileGuard log(besideMe);
    EXPECT_EQ(FindUninstallLog(), keyLog.path());
}
