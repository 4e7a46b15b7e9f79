#include "engine/uninstall_log.h"

#include "app/languages.h"
#include "app/product_identity.h"
#include "engine/access_rights.h"
#include "engine/backup.h"
#include "engine/file_system.h"
#include "engine/path_text.h"
#include "engine/removal_log_format.h"
#include "framework/unique_resource.h"
#include "package/same_path.h"

#include <shlobj.h>
#include <shlwapi.h>

#include <algorithm>
#include <exception>
#include <string>
#include <string_view>

namespace {

// Far beyond any real log (a line holds at most a path), and small enough that a damaged or
// hostile file cannot exhaust memory: the records past it are not read.
constexpr DWORD kLargestLogBytes = 4 * 1024 * 1024;

// The file's first bytes, up to the size limit; when the file goes on, only its complete lines.
// Nothing when it cannot be opened or read.
std::string ReadLogBytes(const std::wstring& path)
{
    vt::unique_hfile file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return {};
    std::string bytes;
    char chunk[64 * 1024];
    bool more = true;
    while (more && bytes.size() <= kLargestLogBytes) {
        DWORD read = 0;
        if (!::ReadFile(file.get(), chunk, sizeof chunk, &read, nullptr))
            return {};
        bytes.append(chunk, read);
        more = read != 0;
    }
    if (bytes.size() > kLargestLogBytes) {
        bytes.resize(kLargestLogBytes);
        bytes.resize(RemovalLogWholeLines(bytes).size());
    }
    return bytes;
}

// 8-bit logs are read in the code page of the language the installer speaks.
std::wstring AnsiToWide(std::string_view text)
{
    if (text.empty())
        return {};
    const UINT codePage = GetLanguageState().codePage;
    const int size = static_cast<int>(text.size());
    const int length = ::MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0);
    if (length <= 0)
        return {};
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    ::MultiByteToWideChar(codePage, 0, text.data(), size, wide.data(), length);
    return wide;
}

bool WriteAll(HANDLE file, const void* data, std::size_t size)
{
    const auto* bytes = static_cast<const char*>(data);
    while (size != 0) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30));
        DWORD written = 0;
        if (!::WriteFile(file, bytes, chunk, &written, nullptr) || written == 0)
            return false;
        bytes += written;
        size -= written;
    }
    return true;
}

// Puts a file's backup back at `target`, with the attributes the backup kept. A backup that
// cannot be moved stays where it is: it may be the only copy left.
void RestoreBackup(LogRecord& record)
{
    const std::wstring& target = record.backupOrigin.empty() ? record.path : record.backupOrigin;
    const DWORD attributes = ::GetFileAttributesW(record.backup.c_str());
    ::SetFileAttributesW(record.backup.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (!::MoveFileExW(record.backup.c_str(), target.c_str(), MOVEFILE_COPY_ALLOWED | MOVEFILE_REPLACE_EXISTING))
        return;
    if (attributes != INVALID_FILE_ATTRIBUTES)
        ::SetFileAttributesW(target.c_str(), attributes);
    record.backup.clear();
}

// Restores the saved uninstall key, or deletes the key this installation made.
void RollBackUninstallKey(LogRecord& record)
{
    const std::wstring name = ProductDisplayName(g_productId);
    SetPrivilege(L"SeRestorePrivilege", true);
    vt::unique_hkey parent;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kUninstallKeyParent, 0, KEY_ALL_ACCESS | KEY_WOW64_32KEY,
                        parent.put()) == ERROR_SUCCESS) {
        if (!record.backup.empty()) {
            vt::unique_hkey key;
            if (::RegOpenKeyExW(parent.get(), name.c_str(), 0, KEY_ALL_ACCESS | KEY_WOW64_32KEY, key.put()) ==
                ERROR_SUCCESS)
                ::RegRestoreKeyW(key.get(), record.backup.c_str(), REG_FORCE_RESTORE);
        } else {
            // Through the parent opened in the 32-bit view, so the key of that view goes.
            ::RegDeleteTreeW(parent.get(), name.c_str());
        }
    }
    SetPrivilege(L"SeRestorePrivilege", false);
    // A hive that could not be restored now is of no further use.
    if (!record.backup.empty()) {
        DeleteWithAnyAttributes(record.backup);
        record.backup.clear();
    }
}

void UndoRecord(LogRecord& record)
{
    switch (record.type) {
    case RecordFolder:
        // Fails, as wanted, while the folder still holds what this installation did not make.
        ::RemoveDirectoryW(record.path.c_str());
        break;
    case RecordFile:
    case RecordMenuShortcut:
    case RecordUninstallShortcut:
    case RecordDesktopShortcut:
        if (record.replacedWithoutBackup)
            break;
        if (!record.path.empty())
            DeleteWithAnyAttributes(record.path);
        if (!record.backup.empty())
            RestoreBackup(record);
        break;
    case RecordUninstallKey:
        RollBackUninstallKey(record);
        break;
    default: // the registration run leaves nothing the installer could take back
        break;
    }
}

// The text of the whole file: mark, header lines, record lines, each line ended by CR LF.
std::wstring LogText(const std::deque<LogRecord>& records, const std::wstring& previousProduct,
                     const std::wstring& installFolder, const std::wstring& menuFolder)
{
    std::wstring text(1, L'\xFEFF');
    for (const std::wstring& line :
         RemovalLogHeaderLines(GetProductName(false), previousProduct, installFolder, menuFolder))
        text += line + L"\r\n";
    std::size_t index = 0;
    for (const LogRecord& record : records)
        text += RemovalLogRecordLine(index++, record) + L"\r\n";
    return text;
}

// The bytes of UTF-16LE text, whatever the byte order of the machine.
std::string LittleEndianBytes(const std::wstring& text)
{
    std::string bytes;
    bytes.reserve(text.size() * 2);
    for (const wchar_t character : text) {
        bytes.push_back(static_cast<char>(character & 0xFF));
        bytes.push_back(static_cast<char>((character >> 8) & 0xFF));
    }
    return bytes;
}

} // namespace

void UninstallLog::Load(const std::optional<std::wstring>& path)
{
    m_strPrevInstallFolder.clear();
    m_strPrevMenuFolder.clear();
    m_strPrevProduct.clear();
    m_previous.clear();
    if (!path)
        return;
    const std::string bytes = ReadLogBytes(*path);
    RemovalLogContents contents = ReadRemovalLog(bytes, AnsiToWide);
    if (IsExistingFolder(contents.installFolder))
        m_strPrevInstallFolder = contents.installFolder;
    if (IsExistingFolder(contents.menuFolder))
        m_strPrevMenuFolder = contents.menuFolder;
    m_strPrevProduct = std::move(contents.previousProduct);
    m_previous.assign(std::make_move_iterator(contents.records.begin()),
                      std::make_move_iterator(contents.records.end()));
}

bool UninstallLog::WasInstalled(const std::wstring& path) const
{
    return std::any_of(m_previous.begin(), m_previous.end(), [&](const LogRecord& record) {
        return record.type == RecordFile && record.done && record.path == path;
    });
}

void UninstallLog::SetResult(bool ok, const std::wstring* path)
{
    if (!m_bPending)
        return;
    m_bPending = false;
    m_records.back().done = ok;
    if (path != nullptr)
        m_records.back().path = *path;
}

void UninstallLog::AddFile(const std::wstring& path, int flags, bool copyBackup)
{
    m_bPending = true;
    // A path too long for the buffer gets no folders here rather than folders of a cut path.
    if (const std::optional<std::wstring> folder = FolderOf(path))
        CreateFolders(*folder);
    LogRecord record;
    record.type = RecordFile;
    record.path = path;
    record.entryFlags = flags;
    if (IsExistingFile(path)) {
        record.backup = BackupToTemp(&path, copyBackup);
        record.replacedWithoutBackup = record.backup.empty();
        record.backupOrigin = path;
    }
    m_records.push_back(std::move(record));
}

void UninstallLog::CreateFolders(const std::wstring& folder)
{
    wchar_t buffer[MAX_PATH];
    if (folder.size() >= MAX_PATH)
        return;
    folder.copy(buffer, folder.size());
    buffer[folder.size()] = L'\0';
    // Without a root there is nothing that a later run could find the folders by.
    const wchar_t* rest = ::PathSkipRootW(buffer);
    if (rest == nullptr)
        return;
    std::size_t end = static_cast<std::size_t>(rest - buffer);
    const std::size_t length = folder.size();
    while (end < length) {
        while (end < length && (buffer[end] == L'\\' || buffer[end] == L'/'))
            ++end;
        if (end == length)
            break;
        while (end < length && buffer[end] != L'\\' && buffer[end] != L'/')
            ++end;
        const std::wstring level(buffer, end);
        if (IsExistingFolder(level))
            continue;
        if (!::CreateDirectoryW(level.c_str(), nullptr))
            return;
        ::SHChangeNotify(SHCNE_MKDIR, SHCNF_PATHW, level.c_str(), nullptr);
        LogRecord record;
        record.type = RecordFolder;
        record.path = level;
        record.done = true;
        m_records.push_back(std::move(record));
    }
}

void UninstallLog::AddShortcut(ShortcutKind kind, const std::wstring& folder)
{
    m_bPending = true;
    CreateFolders(folder);
    LogRecord record;
    record.type = RecordMenuShortcut + static_cast<int>(kind);
    const auto previous = std::find_if(m_previous.begin(), m_previous.end(), [&](const LogRecord& old) {
        return old.type == record.type && IsExistingFile(old.path);
    });
    if (previous != m_previous.end()) {
        record.backup = BackupToTemp(&previous->path, false);
        if (!record.backup.empty())
            record.backupOrigin = previous->path;
    }
    m_records.push_back(std::move(record));
}

void UninstallLog::AddUninstallKey(HKEY existingKey)
{
    m_bPending = true;
    LogRecord record;
    record.type = RecordUninstallKey;
    if (existingKey != nullptr) {
        record.backup = BackupToTemp(nullptr, false);
        if (!record.backup.empty()) {
            SetPrivilege(L"SeBackupPrivilege", true);
            if (::RegSaveKeyW(existingKey, record.backup.c_str(), nullptr) != ERROR_SUCCESS) {
                DeleteWithAnyAttributes(record.backup);
                record.backup.clear();
            }
            SetPrivilege(L"SeBackupPrivilege", false);
        }
    }
    m_records.push_back(std::move(record));
}

void UninstallLog::AddRegistration()
{
    m_bPending = true;
    LogRecord record;
    record.type = RecordRegistration;
    m_records.push_back(std::move(record));
}

bool UninstallLog::Save(const std::wstring& path, const std::wstring& installFolder, const std::wstring& menuFolder)
{
    bool written = false;
    try {
        while (!m_previous.empty()) {
            LogRecord previous = std::move(m_previous.back());
            m_previous.pop_back();
            const bool byPath = previous.type == RecordFolder || previous.type == RecordFile;
            const bool superseded = std::any_of(m_records.begin(), m_records.end(), [&](const LogRecord& record) {
                return record.type == previous.type && (!byPath || same_path(record.path, previous.path));
            });
            if (!superseded)
                m_records.push_front(std::move(previous));
        }
        for (LogRecord& record : m_records) {
            if (record.type == RecordUninstallKey)
                record.path = L"HKEY_LOCAL_MACHINE\\" + UninstallKeyName();
            else if (record.type == RecordRegistration)
                record.path = L"HKEY_CLASSES_ROOT\\...";
        }
        const std::string bytes = LittleEndianBytes(LogText(m_records, m_strPrevProduct, installFolder, menuFolder));

        ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        vt::unique_hfile file(
            ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file) {
            written = WriteAll(file.get(), bytes.data(), bytes.size());
            file.reset();
            ::SetFileAttributesW(path.c_str(),
                                 FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED);
        }
    } catch (const std::exception&) {
        // The log could not be made (no memory, or no product to name); the result says so, and
        // the backups below must go all the same: this is the installation's commit point.
        written = false;
    }
    for (LogRecord& record : m_records) {
        if (!record.backup.empty()) {
            DeleteWithAnyAttributes(record.backup);
            record.backup.clear();
        }
    }
    return written;
}

void UninstallLog::Rollback()
{
    while (!m_records.empty()) {
        try {
            UndoRecord(m_records.back());
        } catch (const std::exception&) {
            // One record that cannot be undone (no memory, no product to name) must not keep the
            // older ones from being undone.
        }
        m_records.pop_back();
    }
    m_bPending = false;
}
