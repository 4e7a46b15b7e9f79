#include "tests/e2e/product_layout.h"

#include "tests/support/shell_folders.h"

#include <gtest/gtest.h>

#include <shlobj.h>

#include <fstream>
#include <optional>
#include <stdexcept>

namespace e2e {
namespace {

// The build's host path as this Windows process reaches it: through Wine's Z: drive.
std::wstring Wide(const std::string& utf8)
{
    if (utf8.empty())
        return {};
    const int size = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring text(static_cast<size_t>(size), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), text.data(), size);
    return text;
}

std::wstring WithBackslashes(std::wstring path)
{
    for (wchar_t& c : path)
        c = c == L'/' ? L'\\' : c;
    return path;
}

// A host path (UTF-8) as this Windows process reaches it: through Wine's Z: drive.
std::filesystem::path HostPath(const std::string& path)
{
    return L"Z:" + WithBackslashes(Wide(path));
}

std::vector<std::string> Fields(const std::string& line)
{
    std::vector<std::string> fields;
    for (size_t i = 0;;) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r'))
            ++i;
        if (i == line.size())
            return fields;
        if (line[i] == '"') {
            const size_t close = line.find('"', i + 1);
            if (close == std::string::npos)
                throw std::runtime_error("unclosed quote in the manifest: " + line);
            fields.push_back(line.substr(i + 1, close - i - 1));
            i = close + 1;
        } else {
            const size_t start = i;
            while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r')
                ++i;
            fields.push_back(line.substr(start, i - start));
        }
    }
}

FileKind KindNamed(const std::string& name)
{
    const std::pair<const char*, FileKind> kinds[] = {
        {"ordinary", FileKind::Ordinary}, {"program", FileKind::Program},   {"uninstaller", FileKind::Uninstaller},
        {"data", FileKind::Data},         {"no-update", FileKind::NoUpdate}, {"temporary", FileKind::Temporary},
    };
    for (const auto& [text, kind] : kinds)
        if (name == text)
            return kind;
    throw std::runtime_error("unknown kind in the manifest: " + name);
}

// The folder a template names; nothing for the run's own temporary folder.
std::optional<std::wstring> ResolveTemplate(const std::wstring& destination, const InstallationFolders& folders)
{
    std::wstring rest;
    const size_t end = destination.find_first_of(L"\\/");
    const std::wstring placeholder = destination.substr(0, end);
    if (end != std::wstring::npos)
        rest = destination.substr(end);
    rest = WithBackslashes(rest);
    const std::pair<const wchar_t*, int> shellFolders[] = {
        {L"<ProgramFiles>", CSIDL_PROGRAM_FILES},   {L"<ProgramCommon>", CSIDL_PROGRAM_FILES_COMMON},
        {L"<CommonData>", CSIDL_COMMON_APPDATA},    {L"<UserData>", CSIDL_APPDATA},
        {L"<CommonDocuments>", CSIDL_COMMON_DOCUMENTS}, {L"<Documents>", CSIDL_PERSONAL},
        {L"<CommonDesktop>", CSIDL_COMMON_DESKTOPDIRECTORY}, {L"<Desktop>", CSIDL_DESKTOPDIRECTORY},
        {L"<WinDir>", CSIDL_WINDOWS},                {L"<System>", CSIDL_SYSTEM},
    };
    if (placeholder == L"<InstallPath>")
        return folders.installFolder + rest;
    if (placeholder == L"<SamplePath>")
        return testsupport::ShellFolder(CSIDL_COMMON_DESKTOPDIRECTORY) + L"\\" + folders.sampleFolderName + rest;
    if (placeholder == L"<Temporary>")
        return std::nullopt;
    for (const auto& [name, csidl] : shellFolders)
        if (placeholder == name)
            return testsupport::ShellFolder(csidl) + rest;
    throw std::runtime_error("unknown placeholder in the manifest");
}

} // namespace

std::vector<ProductFile> ReadProductLayout(const InstallationFolders& folders)
{
    const std::filesystem::path manifest = HostPath(OSTREL_PACKAGE_MANIFEST);
    std::ifstream in(manifest);
    if (!in)
        throw std::runtime_error("cannot read the package manifest " + manifest.string());
    std::vector<ProductFile> files;
    for (std::string line; std::getline(in, line);) {
        const std::vector<std::string> fields = Fields(line);
        if (fields.empty() || fields[0][0] == '#')
            continue;
        if (fields.size() != 3)
            throw std::runtime_error("a manifest line without three fields: " + line);
        ProductFile file;
        file.source = fields[0][0] == '/' ? HostPath(fields[0]) : manifest.parent_path() / WithBackslashes(Wide(fields[0]));
        file.name = file.source.filename().wstring();
        file.kind = KindNamed(fields[2]);
        file.folder = ResolveTemplate(Wide(fields[1]), folders).value_or(L"");
        files.push_back(std::move(file));
    }
    return files;
}

const ProductFile& FileOfKind(const std::vector<ProductFile>& files, FileKind kind)
{
    for (const ProductFile& file : files)
        if (file.kind == kind)
            return file;
    throw std::runtime_error("the manifest has no file of the kind asked for");
}

std::wstring QuotedPath(const std::wstring& path)
{
    return path.find(L' ') != std::wstring::npos ? L"\"" + path + L"\"" : path;
}

} // namespace e2e
