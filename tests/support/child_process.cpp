#include "tests/support/child_process.h"

#include <cwctype>
#include <filesystem>
#include <map>
#include <stdexcept>

namespace testsupport {
namespace {

std::map<std::wstring, RoleFunction>& Roles()
{
    static std::map<std::wstring, RoleFunction> roles;
    return roles;
}

std::wstring Quote(const std::wstring& argument)
{
    return L"\"" + argument + L"\"";
}

std::wstring Upper(std::wstring text)
{
    for (wchar_t& c : text)
        c = static_cast<wchar_t>(std::towupper(c));
    return text;
}

// The current environment with `overrides` replacing variables of the same name.
std::vector<wchar_t> EnvironmentBlock(const EnvironmentOverrides& overrides)
{
    std::vector<wchar_t> block;
    const wchar_t* strings = ::GetEnvironmentStringsW();
    for (const wchar_t* entry = strings; *entry != L'\0'; entry += std::wcslen(entry) + 1) {
        const std::wstring line = entry;
        const std::wstring name = Upper(line.substr(0, line.find(L'=', 1)));
        bool replaced = false;
        for (const auto& [overrideName, value] : overrides)
            replaced = replaced || Upper(overrideName) == name;
        if (!replaced)
            block.insert(block.end(), line.c_str(), line.c_str() + line.size() + 1);
    }
    ::FreeEnvironmentStringsW(const_cast<wchar_t*>(strings));
    for (const auto& [name, value] : overrides) {
        const std::wstring line = name + L"=" + value;
        block.insert(block.end(), line.c_str(), line.c_str() + line.size() + 1);
    }
    block.push_back(L'\0');
    return block;
}

std::wstring ProgramPath()
{
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    return path;
}

} // namespace

bool RegisterRole(const std::wstring& name, RoleFunction role)
{
    Roles()[name] = role;
    return true;
}

bool RunRequestedRole(int argc, wchar_t** argv, int& exitCode)
{
    if (argc < 3 || std::wstring(argv[1]) != L"--role")
        return false;
    const auto role = Roles().find(argv[2]);
    if (role == Roles().end()) {
        std::fwprintf(stderr, L"unknown role %ls\n", argv[2]);
        exitCode = 100;
        return true;
    }
    exitCode = role->second(std::vector<std::wstring>(argv + 3, argv + argc));
    return true;
}

ChildProcess::ChildProcess(const std::wstring& role, const std::vector<std::wstring>& arguments,
                           const EnvironmentOverrides& environment)
{
    SECURITY_ATTRIBUTES inheritable{sizeof(inheritable), nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    if (!::CreatePipe(&readEnd, &writeEnd, &inheritable, 0))
        throw std::runtime_error("CreatePipe failed");
    m_outputPipe.reset(readEnd);
    vt::unique_handle childWriteEnd(writeEnd);
    ::SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);

    std::wstring commandLine = Quote(ProgramPath()) + L" --role " + Quote(role);
    for (const std::wstring& argument : arguments)
        commandLine += L" " + Quote(argument);

    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = writeEnd;
    startup.hStdError = ::GetStdHandle(STD_ERROR_HANDLE);
    std::vector<wchar_t> block = EnvironmentBlock(environment);
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, CREATE_UNICODE_ENVIRONMENT,
                          block.data(), nullptr, &startup, &info))
        throw std::runtime_error("CreateProcessW failed");
    ::CloseHandle(info.hThread);
    m_process.reset(info.hProcess);
}

DWORD ChildProcess::Wait(DWORD timeoutMilliseconds)
{
    char buffer[4096];
    DWORD read = 0;
    while (m_outputPipe && ::ReadFile(m_outputPipe.get(), buffer, sizeof(buffer), &read, nullptr) && read > 0)
        m_output.append(buffer, read);
    m_outputPipe.reset();
    if (::WaitForSingleObject(m_process.get(), timeoutMilliseconds) != WAIT_OBJECT_0)
        return STILL_ACTIVE;
    DWORD exitCode = 0;
    ::GetExitCodeProcess(m_process.get(), &exitCode);
    return exitCode;
}

std::wstring UniqueName(const std::wstring& stem)
{
    static unsigned counter = 0;
    return stem + L"-" + std::to_wstring(::GetCurrentProcessId()) + L"-" + std::to_wstring(++counter);
}

vt::unique_handle CreateNamedEvent(const std::wstring& name)
{
    return vt::unique_handle(::CreateEventW(nullptr, TRUE, FALSE, (L"Local\\" + name).c_str()));
}

vt::unique_handle OpenNamedEvent(const std::wstring& name)
{
    return vt::unique_handle(::OpenEventW(EVENT_MODIFY_STATE | SYNCHRONIZE, FALSE, (L"Local\\" + name).c_str()));
}

std::wstring ProgramFolder()
{
    return std::filesystem::path(ProgramPath()).parent_path().wstring();
}

std::wstring InstallerPath()
{
    const std::filesystem::path buildFolder = std::filesystem::path(ProgramFolder()).parent_path().parent_path();
    return (buildFolder / L"InstallOstrel4.05.exe").wstring();
}

} // namespace testsupport
