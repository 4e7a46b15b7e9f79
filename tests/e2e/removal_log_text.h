#pragma once
// The removal log an installation should leave, built from what the test knows of the machine:
// records made as the installer makes them (missing folder levels first, parent before child),
// and the file's exact bytes.
#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

namespace e2e {

enum RecordKind { FolderRecord = 0, FileRecord = 1, MenuShortcutRecord = 2, UninstallShortcutRecord = 3,
                  DesktopShortcutRecord = 4, UninstallKeyRecord = 5, RegistrationRecord = 6 };

struct ExpectedRecord {
    int type = FolderRecord;
    int flags = -1;
    bool done = true;
    std::wstring path;
};

inline const std::wstring kUninstallKeyText =
    L"HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Ostrel 4";
inline const std::wstring kRegistrationText = L"HKEY_CLASSES_ROOT\\...";

// The records of one installation, in the order it makes them. Build it before the run: a
// folder level that exists at that time is not one the installation creates.
class ExpectedJournal {
public:
    void AddFolders(const std::wstring& folder)
    {
        for (size_t separator = folder.find(L'\\'); separator != std::wstring::npos;) {
            separator = folder.find(L'\\', separator + 1);
            const std::wstring level = folder.substr(0, separator);
            if (m_created.count(level) == 0 && !std::filesystem::is_directory(level)) {
                m_created.insert(level);
                records.push_back({FolderRecord, -1, true, level});
            }
        }
    }
    void AddFile(const std::wstring& path, int flags)
    {
        AddFolders(path.substr(0, path.rfind(L'\\')));
        records.push_back({FileRecord, flags, true, path});
    }
    void AddShortcut(int type, const std::wstring& folder, const std::wstring& name)
    {
        AddFolders(folder);
        records.push_back({type, -1, true, folder + L"\\" + name + L".lnk"});
    }
    void AddUninstallKey() { records.push_back({UninstallKeyRecord, -1, true, kUninstallKeyText}); }
    void AddRegistration(bool done) { records.push_back({RegistrationRecord, -1, done, kRegistrationText}); }

    std::vector<ExpectedRecord> records;

private:
    std::set<std::wstring> m_created;
};

// The lines of a log, without line ends.
inline std::vector<std::wstring> RemovalLogLines(const std::wstring& product, const std::wstring& previousProduct,
                                                 const std::wstring& installFolder, const std::wstring& menuFolder,
                                                 const std::vector<ExpectedRecord>& records)
{
    const std::wstring shortcutLine = L"Shortcut Path : " + menuFolder;
    std::vector<std::wstring> lines = {
        L"// Uninstall Log File v1",
        L"// ############ WARNING: Do not delete or modify this file. ############",
        L"// Install " + product + (previousProduct.empty() ? L"" : L" -- Update (" + previousProduct + L")"),
        L"// Install Path : " + installFolder,
        L"// " + shortcutLine,
        L"// " + std::wstring(shortcutLine.size(), L'-'),
    };
    for (size_t index = 0; index < records.size(); ++index) {
        const ExpectedRecord& record = records[index];
        wchar_t head[32];
        std::swprintf(head, 32, L"%04u:%04x:%d -- ", static_cast<unsigned>(index),
                      static_cast<unsigned>(record.type * 256 + (record.flags & 0xFF)), record.done ? 1 : 0);
        lines.push_back(head + record.path);
    }
    return lines;
}

// A log's bytes on disk: UTF-16LE with its byte-order mark, every line ended by CR LF.
inline std::string RemovalLogBytes(const std::vector<std::wstring>& lines)
{
    std::wstring text;
    for (const std::wstring& line : lines)
        text += line + L"\r\n";
    std::string bytes = "\xFF\xFE";
    for (wchar_t c : text) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>((c >> 8) & 0xFF);
    }
    return bytes;
}

// The lines of a text whose lines end with CR LF, without their ends.
inline std::vector<std::wstring> Lines(const std::wstring& text)
{
    std::vector<std::wstring> lines;
    for (size_t start = 0; start < text.size();) {
        size_t end = text.find(L"\r\n", start);
        if (end == std::wstring::npos)
            end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

// The lines of a log's bytes, for a readable failure message.
inline std::vector<std::wstring> LinesOfRemovalLog(const std::string& bytes)
{
    std::wstring text;
    for (size_t i = bytes.size() >= 2 && bytes.compare(0, 2, "\xFF\xFE") == 0 ? 2 : 0; i + 1 < bytes.size(); i += 2)
        text += static_cast<wchar_t>(static_cast<unsigned char>(bytes[i]) |
                                     (static_cast<unsigned char>(bytes[i + 1]) << 8));
    return Lines(text);
}

} // namespace e2e
