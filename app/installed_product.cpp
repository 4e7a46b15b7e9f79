#include "app/installed_product.h"

#include "app/file_version_info.h"
#include "app/product_identity.h"
#include "app/registry_text.h"
#include "framework/unique_resource.h"

#include <boost/filesystem/operations.hpp>
#include <boost/filesystem/path.hpp>

#include <algorithm>
#include <cstddef>
#include <optional>
#include <span>
#include <vector>

static_assert(kRegistryString == REG_SZ && kRegistryExpandString == REG_EXPAND_SZ);

namespace {

// The text of string value `valueName` of HKEY_LOCAL_MACHINE\`keyName`; nothing when the key or
// the value is missing, cannot be read, or holds no finished string.
std::optional<std::wstring> ReadMachineText(const std::wstring& keyName, const wchar_t* valueName)
{
    vt::unique_hkey key;
    // MAXIMUM_ALLOWED never fails the open for lack of one right; a handle that cannot read
    // fails at the query instead, which counts as absent all the same.
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyName.c_str(), 0, MAXIMUM_ALLOWED | KEY_WOW64_32KEY, key.put()) !=
        ERROR_SUCCESS)
        return std::nullopt;
    DWORD type = REG_NONE;
    DWORD size = 0;
    if (::RegQueryValueExW(key.get(), valueName, nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
        return std::nullopt;
    std::vector<std::byte> data;
    LSTATUS status = ERROR_MORE_DATA;
    // Another process may make the value longer between two calls: read again with the size the
    // failed call gave. A buffer is always passed, so that a success is never a size query.
    for (int attempt = 0; status == ERROR_MORE_DATA && attempt < 4; ++attempt) {
        data.resize(std::max<DWORD>(size, sizeof(wchar_t)));
        size = static_cast<DWORD>(data.size());
        status = ::RegQueryValueExW(key.get(), valueName, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size);
    }
    if (status != ERROR_SUCCESS)
        return std::nullopt;
    data.resize(size);
    const auto text = RegistryText(type, std::span<const std::byte>(data));
    if (!text)
        return std::nullopt;
    return std::wstring(text->begin(), text->end());
}

// Whether `path` names an existing file or folder. A relative path counts as absent: what it
// names would depend on the current folder, and every path recorded by an installation is full.
// A failing existence test counts as absent too.
bool Exists(const boost::filesystem::path& path)
{
    if (!path.is_absolute())
        return false;
    boost::system::error_code error;
    const bool exists = boost::filesystem::exists(path, error);
    return exists && !error;
}

// "Uninstall.ulog" in the folder of `path`, when it exists.
std::optional<std::wstring> LogBeside(const std::wstring& path)
{
    const boost::filesystem::path log = boost::filesystem::path(path).parent_path() / kUninstallLogName;
    if (!Exists(log))
        return std::nullopt;
    return log.wstring();
}

std::wstring OwnProgramPath()
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0)
            return {};
        // A full buffer may hold a truncated path.
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

} // namespace

std::wstring ComputeInstalledProgramPath()
{
    // Every registry and file-system failure below is reported by a status, never thrown, and
    // each means that no installed program can be found.
    const auto path =
        ReadMachineText(MakerKeyName(), ProgramPathValueName().c_str());
    if (!path || !Exists(*path))
        return {};
    return *path;
}

std::wstring GetInstalledProgramPath()
{
    static const std::wstring path = ComputeInstalledProgramPath();
    return path;
}

InstallModeDecision DecideInstallModeFor(const std::wstring& programPath)
{
    InstallModeDecision decision;
    if (programPath.empty())
        return decision;
    const FileVersionInfo info(programPath);
    const std::optional<std::uint64_t> version =
        info.HasFixedInfo() ? std::optional<std::uint64_t>(info.GetFileVersion()) : std::nullopt;
    decision.mode = ModeForInstalledVersion(version);
    if (decision.mode == ModeNewer || decision.mode == ModeUpdate)
        decision.installedVersionText = info.GetDisplayVersion();
    if (decision.mode == ModeUpdate)
        decision.installedVersion = *version;
    return decision;
}

std::wstring FindUninstallLog(const std::wstring& installerPath, const std::wstring& installedProgramPath)
{
    if (const auto uninstaller = ReadMachineText(UninstallKeyName(), L"UninstallString"))
        if (const auto log = LogBeside(*uninstaller))
            return *log;
    // An installer started from the installation folder finds the log beside itself even when
    // the uninstall key is stale.
    for (const std::wstring* path : {&installerPath, &installedProgramPath})
        if (const auto log = LogBeside(*path))
            return *log;
    return {};
}

std::wstring FindUninstallLog()
{
    return FindUninstallLog(OwnProgramPath(), GetInstalledProgramPath());
}
