#pragma once
// The Windows test programs play roles in child processes of their own: a test starts the
// program again with "--role NAME args…" to get a second process that holds a kernel object,
// runs with another environment, or drives the installer.
#include "framework/unique_resource.h"

#include <string>
#include <utility>
#include <vector>

namespace testsupport {

using RoleFunction = int (*)(const std::vector<std::wstring>& arguments);

// Registers a role during static initialisation:
//   const bool registered = testsupport::RegisterRole(L"hold-mutex", &HoldMutex);
bool RegisterRole(const std::wstring& name, RoleFunction role);

// When argv asks for a role, runs it and stores its exit code in `exitCode`.
bool RunRequestedRole(int argc, wchar_t** argv, int& exitCode);

using EnvironmentOverrides = std::vector<std::pair<std::wstring, std::wstring>>;

class ChildProcess {
public:
    // Starts this program in `role`; `environment` replaces or adds variables of ours.
    ChildProcess(const std::wstring& role, const std::vector<std::wstring>& arguments,
                 const EnvironmentOverrides& environment = {});

    // Reads the child's standard output to its end, then waits for its exit code.
    // Returns STILL_ACTIVE when it did not end within the timeout.
    DWORD Wait(DWORD timeoutMilliseconds = 60000);
    const std::string& output() const noexcept { return m_output; }
    HANDLE process() const noexcept { return m_process.get(); }

private:
    vt::unique_handle m_process;
    vt::unique_handle m_outputPipe;
    std::string m_output;
};

// A name no other test or run uses: stem + process id + a counter.
std::wstring UniqueName(const std::wstring& stem);

// A manual-reset event under "Local\" + name, created non-signalled.
vt::unique_handle CreateNamedEvent(const std::wstring& name);
// Opens the event a parent created.
vt::unique_handle OpenNamedEvent(const std::wstring& name);

// The folder of this test program.
std::wstring ProgramFolder();

// The installer of the same build: build/win64/tests/<kind>/<test>.exe -> build/win64/InstallOstrel4.05.exe
std::wstring InstallerPath();

} // namespace testsupport
