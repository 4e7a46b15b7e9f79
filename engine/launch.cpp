#include "engine/launch.h"

#include "app/named_objects.h"
#include "engine/path_text.h"
#include "engine/uninstall_log.h"
#include "framework/unique_resource.h"
#include "framework/wait_cursor.h"

#include <shlobj.h>
#include <shlwapi.h>

#include <cwchar>
#include <vector>

namespace {

constexpr DWORD kRegistered = static_cast<DWORD>(-10);

// Starts the command and waits for its end; its exit status, or nothing when it did not start.
std::optional<DWORD> RunToEnd(std::wstring commandLine, const std::wstring& workingFolder)
{
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNOACTIVATE;
    PROCESS_INFORMATION process{};
    std::vector<wchar_t> writable(commandLine.begin(), commandLine.end());
    writable.push_back(L'\0');
    if (!::CreateProcessW(nullptr, writable.data(), nullptr, nullptr, FALSE, HIGH_PRIORITY_CLASS, nullptr,
                          workingFolder.empty() ? nullptr : workingFolder.c_str(), &startup, &process))
        return std::nullopt;
    const vt::unique_handle processHandle(process.hProcess);
    const vt::unique_handle threadHandle(process.hThread);
    // The program decides how long its registration takes; the installer has nothing to do meanwhile.
    ::WaitForSingleObject(processHandle.get(), INFINITE);
    DWORD status = 0;
    if (!::GetExitCodeProcess(processHandle.get(), &status))
        status = 0;
    return status;
}

} // namespace

std::wstring RegistrationCommandLine(const std::wstring& quotedProgramPath, std::uint64_t installedVersion)
{
    std::wstring commandLine = quotedProgramPath + L" /Register /Background";
    if (installedVersion != 0) {
        wchar_t update[32];
        std::swprintf(update, 32, L" /update=%016llx", static_cast<unsigned long long>(installedVersion));
        commandLine += update;
    }
    return commandLine;
}

bool RunRegistration(UninstallLog& log, const std::wstring& programPath, std::uint64_t installedVersion,
                     NamedMutex& installerLock)
{
    const std::optional<std::wstring> quoted = programPath.empty() ? std::nullopt : QuotedPath(programPath);
    // The lock is released even for a program that cannot start, so that the lock's state
    // after this step does not depend on why the step failed.
    installerLock.Release();
    const std::optional<DWORD> status =
        quoted ? RunToEnd(RegistrationCommandLine(*quoted, installedVersion), FolderOf(programPath).value_or(L"")) : std::nullopt;
    installerLock.TryLock(); // another installer may have taken it meanwhile: go on without it
    const bool registered = status == kRegistered;
    log.SetResult(registered);
    if (registered) {
        CWaitCursor wait;
        ::SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST | SHCNF_FLUSH, nullptr, nullptr);
    }
    return registered;
}
