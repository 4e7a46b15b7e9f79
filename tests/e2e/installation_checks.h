#pragma once
// What an installation should have done, planned from the package layout before the run, and
// the checks of the machine and the transcript against that plan afterwards.
#include "tests/e2e/installation_steps.h"
#include "tests/e2e/product_layout.h"
#include "tests/e2e/removal_log_text.h"
#include "tests/support/product_stand_ins.h"
#include "tests/support/registry_values.h"
#include "tests/support/shell_folders.h"
#include "tests/support/shell_link.h"
#include "tests/support/test_files.h"

#include <gtest/gtest.h>

#include <shlobj.h>

#include <algorithm>
#include <string>
#include <vector>

namespace e2e {

inline const std::wstring kUninstallKeyName = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Ostrel 4";
inline const std::wstring kMakerKeyName = L"Software\\Vantor & Lind";
inline const std::wstring kProgramPathValue = L"Ostrel 4 Path";
inline const std::wstring kProductWithVersion = L"Ostrel 4.05";
inline const std::wstring kUninstallShortcutName = L"Uninstall Ostrel";

enum class Mode { Fresh, Same, Update };

struct Shortcuts {
    bool menu = true;
    bool desktop = true;
    std::wstring menuFolder;
};

// The default Start-menu folder of a first installation.
inline std::wstring DefaultMenuFolder()
{
    return testsupport::ShellFolder(CSIDL_COMMON_PROGRAMS) + L"\\Vantor & Lind\\Ostrel 4";
}

inline std::wstring CommonDesktop()
{
    return testsupport::ShellFolder(CSIDL_COMMON_DESKTOPDIRECTORY);
}

// What one run should write and record. Plan it before the run: the folders that exist then are
// not the run's.
struct InstallationPlan {
    std::vector<ProductFile> written;     // in package order, temporary files included
    std::vector<ProductFile> keptData;    // present data files kept, with a record
    std::vector<ExpectedRecord> records;  // this run's journal
    std::wstring programPath;
    std::wstring uninstallerPath;
};

inline InstallationPlan PlanInstallation(const std::vector<ProductFile>& layout, Mode mode,
                                         const std::vector<std::wstring>& previouslyPlacedData,
                                         const Shortcuts& shortcuts, bool registrationSucceeds = true)
{
    InstallationPlan plan;
    ExpectedJournal journal;
    for (const ProductFile& file : layout) {
        const int flags = static_cast<int>(file.kind);
        switch (file.kind) {
        case FileKind::Temporary:
            plan.written.push_back(file);
            continue;
        case FileKind::Data:
            if (mode != Mode::Fresh && std::count(previouslyPlacedData.begin(), previouslyPlacedData.end(),
                                                  file.destination()) != 0)
                continue;
            if (std::filesystem::exists(file.destination())) {
                journal.AddFile(file.destination(), flags);
                plan.keptData.push_back(file);
                continue;
            }
            break;
        case FileKind::NoUpdate:
            if (mode == Mode::Update)
                continue;
            break;
        case FileKind::Program:
            plan.programPath = file.destination();
            break;
        case FileKind::Uninstaller:
            plan.uninstallerPath = file.destination();
            break;
        case FileKind::Ordinary:
            break;
        }
        journal.AddFile(file.destination(), flags);
        plan.written.push_back(file);
    }
    if (shortcuts.menu) {
        journal.AddShortcut(MenuShortcutRecord, shortcuts.menuFolder, kProductWithVersion);
        journal.AddShortcut(UninstallShortcutRecord, shortcuts.menuFolder, kUninstallShortcutName);
    }
    if (shortcuts.desktop)
        journal.AddShortcut(DesktopShortcutRecord, CommonDesktop(), kProductWithVersion);
    journal.AddUninstallKey();
    journal.AddRegistration(registrationSucceeds);
    plan.records = journal.records;
    return plan;
}

// The step lines a run shows: every written file with the path quoted as the command line
// would, its temporary files in the run's folder, whose name is taken from `actual`.
inline std::vector<std::wstring> ExpectedStepLines(const InstallationPlan& plan, bool shortcutStep,
                                                   const std::vector<std::wstring>& actual,
                                                   const std::wstring& registryResult = L"OK",
                                                   const std::wstring& logResult = L"OK")
{
    const std::wstring copying = L"Copying File  ";
    const std::wstring runFolderStart = copying + TemporaryFolder() + L"\\vantor_{";
    std::wstring runFolder = TemporaryFolder() + L"\\vantor_{?}";
    for (const std::wstring& line : actual) {
        if (line.compare(0, runFolderStart.size(), runFolderStart) == 0)
            runFolder = line.substr(copying.size(), line.find(L'}') + 1 - copying.size());
    }
    std::vector<std::wstring> lines = {L"Preparing Installation...OK"};
    for (const ProductFile& file : plan.written) {
        const std::wstring path = file.kind == FileKind::Temporary ? runFolder + L"\\" + file.name : file.destination();
        lines.push_back(copying + QuotedPath(path) + L"...OK");
    }
    if (shortcutStep)
        lines.push_back(L"Shortcuts Creation...OK");
    lines.push_back(L"Registry Data Writing..." + registryResult);
    lines.push_back(L"Installation Data Writing..." + logResult);
    return lines;
}

inline DWORD Attributes(const std::wstring& path)
{
    return ::GetFileAttributesW(path.c_str());
}

// Every written file holds what the package was made from; the program and the uninstaller are
// read-only.
inline void ExpectFilesPlaced(const InstallationPlan& plan)
{
    for (const ProductFile& file : plan.written) {
        if (file.kind == FileKind::Temporary)
            continue;
        SCOPED_TRACE(Utf8(file.destination()));
        ASSERT_TRUE(std::filesystem::is_regular_file(file.destination()));
        EXPECT_TRUE(testsupport::ReadFileBytes(file.destination()) == testsupport::ReadFileBytes(file.source.wstring()))
            << "the contents differ from " << Utf8(file.source.wstring());
        const bool readOnly = file.kind == FileKind::Program || file.kind == FileKind::Uninstaller;
        EXPECT_EQ((Attributes(file.destination()) & FILE_ATTRIBUTE_READONLY) != 0, readOnly);
    }
}

inline void ExpectShortcut(const std::wstring& path, const std::wstring& target)
{
    SCOPED_TRACE(Utf8(path));
    const auto contents = testsupport::ReadShortcut(path);
    ASSERT_TRUE(contents.has_value()) << "no shortcut to read";
    EXPECT_EQ(Utf8(contents->target), Utf8(target));
    EXPECT_EQ(Utf8(contents->workingFolder), Utf8(target.substr(0, target.rfind(L'\\'))));
}

inline void ExpectShortcuts(const InstallationPlan& plan, const Shortcuts& shortcuts)
{
    const std::wstring menuProgram = shortcuts.menuFolder + L"\\" + kProductWithVersion + L".lnk";
    const std::wstring menuUninstall = shortcuts.menuFolder + L"\\" + kUninstallShortcutName + L".lnk";
    const std::wstring desktop = CommonDesktop() + L"\\" + kProductWithVersion + L".lnk";
    if (shortcuts.menu) {
        ExpectShortcut(menuProgram, plan.programPath);
        ExpectShortcut(menuUninstall, plan.uninstallerPath);
    } else {
        EXPECT_FALSE(std::filesystem::exists(menuProgram));
        EXPECT_FALSE(std::filesystem::exists(menuUninstall));
    }
    if (shortcuts.desktop) {
        ExpectShortcut(desktop, plan.programPath);
    } else {
        EXPECT_FALSE(std::filesystem::exists(desktop));
    }
}

// The twelve values of the product's uninstall key and the program-path value.
inline void ExpectRegistration(const InstallationPlan& plan, DWORD language)
{
    using namespace testsupport;
    const std::wstring web = L"https://www.vantor-lind.example/";
    const std::pair<const wchar_t*, RegistryValue> values[] = {
        {L"DisplayName", RegistryText(kProductWithVersion)},
        {L"UninstallString", RegistryText(plan.uninstallerPath)},
        {L"DisplayIcon", RegistryText(plan.programPath + L",0")},
        {L"DisplayVersion", RegistryText(L"4.5.0.1")},
        {L"Publisher", RegistryText(L"Vantor & Lind")},
        {L"URLInfoAbout", RegistryText(web)},
        {L"HelpLink", RegistryText(web)},
        {L"URLUpdateInfo", RegistryText(web)},
        {L"HelpTelephone", RegistryText(L"+33 3 88 52 40 10")},
        {L"NoModify", RegistryNumber(1)},
        {L"NoRepair", RegistryNumber(1)},
        {L"VtLanguage", RegistryNumber(language)},
    };
    for (const auto& [name, expected] : values) {
        const auto value = ReadRegistryValue(kUninstallKeyName, name);
        ASSERT_TRUE(value.has_value()) << Utf8(name) << " missing";
        EXPECT_EQ(value->type, expected.type) << Utf8(name);
        EXPECT_TRUE(value->data == expected.data) << Utf8(name) << " holds other data";
    }
    const auto programPath = ReadRegistryValue(kMakerKeyName, kProgramPathValue);
    ASSERT_TRUE(programPath.has_value());
    EXPECT_TRUE(*programPath == RegistryText(plan.programPath)) << "the program-path value";
}

// The installer ran the program once, in the program's folder, with " /Register /Background"
// and, in an update only, " /update=" and the older version's 16 digits.
inline void ExpectRegistrationRun(const std::wstring& programPath, const std::string& update)
{
    const std::filesystem::path folder = std::filesystem::path(programPath).parent_path();
    const auto records = testsupport::ReadRegistrations(folder);
    ASSERT_EQ(records.size(), 1u) << "one run of the program";
    const std::wstring expected =
        L"/Register /Background" + (update.empty() ? L"" : L" /update=" + std::wstring(update.begin(), update.end()));
    EXPECT_EQ(Utf8(records[0].arguments), Utf8(expected));
    EXPECT_EQ(Utf8(records[0].workingFolder), Utf8(folder.wstring()));
}

inline void ExpectRemovalLog(const std::wstring& path, const std::vector<std::wstring>& lines)
{
    ASSERT_TRUE(std::filesystem::is_regular_file(path)) << Utf8(path);
    const std::string bytes = testsupport::ReadFileBytes(path);
    EXPECT_EQ(Utf8Lines(LinesOfRemovalLog(bytes)), Utf8Lines(lines));
    EXPECT_TRUE(bytes == RemovalLogBytes(lines)) << "the bytes differ (mark, encoding or line ends)";
}

inline std::wstring RemovalLogPath(const InstallationPlan& plan)
{
    return plan.uninstallerPath.substr(0, plan.uninstallerPath.rfind(L'\\')) + L"\\Uninstall.ulog";
}

// The log of a first installation into the default folder: this run's records alone.
inline void ExpectFirstInstallationLog(const InstallationPlan& plan, const Shortcuts& shortcuts)
{
    ExpectRemovalLog(RemovalLogPath(plan), RemovalLogLines(kProductWithVersion, L"", kDefaultInstallFolder,
                                                           shortcuts.menuFolder, plan.records));
}

} // namespace e2e
