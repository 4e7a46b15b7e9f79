#pragma once
// An installation of Ostrel 4 as an older installer left it, made by the test: its folders in a
// place of its own, its program (a stand-in of a chosen version), uninstaller and files, a data
// file the user has since changed, a file the new package no longer carries, its shortcuts, its
// registry values and the Uninstall.ulog that lists all of it.
#include "tests/e2e/product_layout.h"
#include "tests/e2e/removal_log_text.h"

#include <string>
#include <vector>

namespace e2e {

struct PreviousFile {
    std::wstring path;
    std::string bytes;
    DWORD attributes = FILE_ATTRIBUTE_ARCHIVE;
};

struct PreviousInstallation {
    std::wstring product;       // "Ostrel 4.04": the product and version its log names
    std::wstring installFolder;
    std::wstring menuFolder;
    std::wstring desktopFolder;
    std::wstring programPath;
    std::wstring uninstallerPath;
    std::wstring logPath;
    std::vector<PreviousFile> files;         // every file it placed, as it left them
    std::vector<std::wstring> shortcuts;     // menu program, menu uninstaller, desktop
    std::vector<ExpectedRecord> records;     // its log's records, in file order
    std::wstring extraFile;                  // placed by it, no longer carried by the package
    std::vector<std::wstring> dataFiles;     // the shared data files it placed, changed by the user since
};

// Makes the installation of `product` whose program is a copy of `programSource`, using the
// current package's layout for the files both versions carry: the program, the uninstaller, the
// first ordinary file of the installation folder, the data, no-update and sample files. The
// rest of the package (the other ordinary files, the language folder) is new to it.
PreviousInstallation MakePreviousInstallation(const std::wstring& product, const std::wstring& programSource);

// The previous log's records that survive a new installation's records: folders and files not
// placed again, and no shortcut, key or registration record once the new log has its own.
std::vector<ExpectedRecord> SurvivingRecords(const std::vector<ExpectedRecord>& previous,
                                             const std::vector<ExpectedRecord>& current);

} // namespace e2e
