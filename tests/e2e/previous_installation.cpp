#include "tests/e2e/previous_installation.h"

#include "tests/e2e/driver.h"

#include "tests/support/registry_values.h"
#include "tests/support/shell_folders.h"
#include "tests/support/shell_link.h"
#include "tests/support/test_files.h"

#include <shlobj.h>

#include <stdexcept>

namespace e2e {
namespace {

const std::wstring kUninstallKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Ostrel 4";
constexpr DWORD kReadOnly = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE;

bool IsBelow(const std::wstring& path, const std::wstring& folder)
{
    return path.size() > folder.size() && path.compare(0, folder.size(), folder) == 0 && path[folder.size()] == L'\\';
}

void Place(const PreviousFile& file)
{
    std::filesystem::create_directories(std::filesystem::path(file.path).parent_path());
    testsupport::WriteFileBytes(file.path, file.bytes);
    if (!::SetFileAttributesW(file.path.c_str(), file.attributes))
        throw std::runtime_error("cannot set the attributes of a previous installation's file");
}

bool SamePath(const std::wstring& a, const std::wstring& b)
{
    return ::CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()),
                                  TRUE) == CSTR_EQUAL;
}

} // namespace

PreviousInstallation MakePreviousInstallation(const std::wstring& product, const std::wstring& programSource)
{
    PreviousInstallation previous;
    previous.product = product;
    previous.installFolder = L"C:\\Old Apps\\Ostrel 4";
    previous.menuFolder = testsupport::ShellFolder(CSIDL_COMMON_PROGRAMS) + L"\\Ostrel Old";
    previous.desktopFolder = testsupport::ShellFolder(CSIDL_COMMON_DESKTOPDIRECTORY);

    ExpectedJournal journal;
    bool ordinaryPlaced = false;
    for (const ProductFile& file : ReadProductLayout({previous.installFolder})) {
        PreviousFile placed{file.destination(), {}, FILE_ATTRIBUTE_ARCHIVE};
        switch (file.kind) {
        case FileKind::Program:
            placed.bytes = testsupport::ReadFileBytes(programSource);
            placed.attributes = kReadOnly;
            previous.programPath = placed.path;
            break;
        case FileKind::Uninstaller:
            placed.bytes = "the uninstaller of " + Utf8(product);
            placed.attributes = kReadOnly;
            previous.uninstallerPath = placed.path;
            break;
        case FileKind::Data:
            placed.bytes = "<catalogue>changed by the user</catalogue>";
            previous.dataFiles.push_back(placed.path);
            break;
        case FileKind::NoUpdate:
            placed.bytes = "<preferences>the user's own</preferences>";
            break;
        case FileKind::Ordinary:
            if (!IsBelow(file.destination(), previous.installFolder)) {
                placed.bytes = "a sample of " + Utf8(product);
            } else if (file.folder == previous.installFolder && !ordinaryPlaced) {
                placed.bytes = "read me first: " + Utf8(product);
                ordinaryPlaced = true;
            } else {
                continue; // new in this package
            }
            break;
        case FileKind::Temporary:
            continue;
        }
        journal.AddFile(placed.path, static_cast<int>(file.kind));
        Place(placed);
        previous.files.push_back(std::move(placed));
    }
    if (previous.programPath.empty() || previous.uninstallerPath.empty())
        throw std::runtime_error("the package has no program or no uninstaller");

    previous.extraFile = previous.installFolder + L"\\Ostrel Legacy.dll";
    journal.AddFile(previous.extraFile, static_cast<int>(FileKind::Ordinary));
    const PreviousFile extra{previous.extraFile, "a library the new version no longer has", FILE_ATTRIBUTE_ARCHIVE};
    Place(extra);
    previous.files.push_back(extra);

    const struct {
        int type;
        std::wstring folder;
        std::wstring name;
        std::wstring target;
    } shortcuts[] = {
        {MenuShortcutRecord, previous.menuFolder, product, previous.programPath},
        {UninstallShortcutRecord, previous.menuFolder, L"Uninstall Ostrel", previous.uninstallerPath},
        {DesktopShortcutRecord, previous.desktopFolder, product, previous.programPath},
    };
    for (const auto& shortcut : shortcuts) {
        journal.AddShortcut(shortcut.type, shortcut.folder, shortcut.name);
        const std::wstring path = journal.records.back().path;
        std::filesystem::create_directories(shortcut.folder);
        if (!testsupport::WriteShortcut(path, shortcut.target))
            throw std::runtime_error("cannot make a previous installation's shortcut");
        previous.shortcuts.push_back(path);
    }
    journal.AddUninstallKey();
    journal.AddRegistration(true);
    previous.records = journal.records;

    previous.logPath = previous.uninstallerPath.substr(0, previous.uninstallerPath.rfind(L'\\')) + L"\\Uninstall.ulog";
    Place({previous.logPath,
           RemovalLogBytes(RemovalLogLines(product, L"", previous.installFolder, previous.menuFolder, previous.records)),
           kReadOnly | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED});

    using namespace testsupport;
    WriteRegistryValue(L"Software\\Vantor & Lind", L"Ostrel 4 Path", RegistryText(previous.programPath));
    WriteRegistryValue(kUninstallKey, L"DisplayName", RegistryText(product));
    WriteRegistryValue(kUninstallKey, L"UninstallString", RegistryText(previous.uninstallerPath));
    WriteRegistryValue(kUninstallKey, L"DisplayIcon", RegistryText(previous.programPath + L",0"));
    WriteRegistryValue(kUninstallKey, L"VtNote", RegistryText(L"a value only the older installer wrote"));
    return previous;
}

std::vector<ExpectedRecord> SurvivingRecords(const std::vector<ExpectedRecord>& previous,
                                             const std::vector<ExpectedRecord>& current)
{
    std::vector<ExpectedRecord> surviving;
    for (const ExpectedRecord& record : previous) {
        bool superseded = false;
        for (const ExpectedRecord& newer : current) {
            superseded = superseded ||
                         (newer.type == record.type &&
                          (record.type > FileRecord || SamePath(newer.path, record.path)));
        }
        if (!superseded)
            surviving.push_back(record);
    }
    return surviving;
}

} // namespace e2e
