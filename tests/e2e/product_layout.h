#pragma once
// Where the carried product's files belong, read from the package manifest (the build's own list
// of source, destination template and kind) with the destination folders resolved here, through
// the shell, independently of the installer's placeholder code.
#include <filesystem>
#include <string>
#include <vector>

namespace e2e {

// The kinds of the manifest and the flags they carry into the removal log.
enum class FileKind { Ordinary = 0, Program = 1, Uninstaller = 2, Data = 3, NoUpdate = 4, Temporary = 5 };

struct ProductFile {
    std::filesystem::path source;  // the file the package was made from
    std::wstring folder;           // its destination folder; empty for a temporary file
    std::wstring name;             // its file name
    FileKind kind = FileKind::Ordinary;

    std::wstring destination() const { return folder + L"\\" + name; }
};

// The folders an installation is given: the installation folder and the sample folder name.
struct InstallationFolders {
    std::wstring installFolder;
    std::wstring sampleFolderName = L"Ostrel Examples";
};

// The manifest's files in package order, placed for `folders`. A manifest that cannot be read or
// names an unknown kind or placeholder fails the test that asks.
std::vector<ProductFile> ReadProductLayout(const InstallationFolders& folders);

// The one file of a kind (the program, the uninstaller).
const ProductFile& FileOfKind(const std::vector<ProductFile>& files, FileKind kind);

// A path the shell quotes for a command line: in quotes when it holds a blank.
std::wstring QuotedPath(const std::wstring& path);

} // namespace e2e
