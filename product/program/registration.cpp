#include "product/program/registration.h"

#include "framework/unique_resource.h"
#include "product/program/registration_record.h"

#include <windows.h>
#include <shellapi.h>

#include <cerrno>
#include <climits>
#include <cwchar>
#include <cwctype>
#include <optional>
#include <string>

namespace standin {
namespace {

bool IsBlank(wchar_t c)
{
    return c == L' ' || c == L'\t';
}

bool SameSwitch(const std::wstring& argument, const wchar_t* name)
{
    return ::CompareStringOrdinal(argument.c_str(), -1, name, -1, TRUE) == CSTR_EQUAL;
}

// "/update=" followed by exactly 16 hexadecimal digits; any other "/update=" is malformed.
bool IsUpdateArgument(const std::wstring& argument)
{
    static constexpr std::wstring_view prefix = L"/update=";
    return argument.size() >= prefix.size() &&
           ::CompareStringOrdinal(argument.c_str(), static_cast<int>(prefix.size()), prefix.data(),
                                  static_cast<int>(prefix.size()), TRUE) == CSTR_EQUAL;
}

bool IsWellFormedUpdate(const std::wstring& argument)
{
    const std::wstring digits = argument.substr(std::wstring_view(L"/update=").size());
    if (digits.size() != 16)
        return false;
    for (const wchar_t c : digits)
        if (!std::iswxdigit(c))
            return false;
    return true;
}

// The exit status a successful registration ends with, or none when the variable holds
// something other than a decimal integer.
std::optional<int> SuccessStatus()
{
    const DWORD length = ::GetEnvironmentVariableW(kExitStatusVariable.data(), nullptr, 0);
    if (length == 0)
        return kRegistrationSucceeded;
    std::wstring text(length, L'\0');
    text.resize(::GetEnvironmentVariableW(kExitStatusVariable.data(), text.data(), length));
    if (text.empty())
        return std::nullopt;
    wchar_t* end = nullptr;
    errno = 0;
    const long long value = std::wcstoll(text.c_str(), &end, 10);
    if (errno != 0 || end != text.c_str() + text.size() || IsBlank(text.front()) || value < INT_MIN ||
        value > static_cast<long long>(UINT_MAX))
        return std::nullopt;
    // Exit statuses are 32-bit words: 4294967286 and -10 name the same one.
    return static_cast<int>(static_cast<UINT>(value));
}

std::string Utf8(const std::wstring& text)
{
    if (text.empty())
        return {};
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                           nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size, nullptr,
                          nullptr);
    return bytes;
}

std::wstring ProgramFolder()
{
    std::wstring path(MAX_PATH, L'\0');
    while (true) {
        const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0)
            return {};
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    return path.substr(0, path.find_last_of(L'\\'));
}

std::wstring WorkingFolder()
{
    const DWORD length = ::GetCurrentDirectoryW(0, nullptr);
    std::wstring folder(length, L'\0');
    folder.resize(::GetCurrentDirectoryW(length, folder.data()));
    return folder;
}

// Appends the line in one write, so that two registrations running at once never interleave.
bool AppendLine(const std::wstring& file, const std::string& line)
{
    vt::unique_hfile out(::CreateFileW(file.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                       OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!out)
        return false;
    DWORD written = 0;
    return ::WriteFile(out.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr) &&
           written == line.size();
}

} // namespace

std::wstring ArgumentsAfterProgramName(const std::wstring& commandLine)
{
    std::size_t end = 0;
    if (!commandLine.empty() && commandLine.front() == L'"') {
        end = commandLine.find(L'"', 1);
        end = end == std::wstring::npos ? commandLine.size() : end + 1;
    } else {
        while (end < commandLine.size() && !IsBlank(commandLine[end]))
            ++end;
    }
    while (end < commandLine.size() && IsBlank(commandLine[end]))
        ++end;
    return commandLine.substr(end);
}

std::vector<std::wstring> SplitCommandLine(const std::wstring& commandLine)
{
    int count = 0;
    vt::unique_hlocal split(::CommandLineToArgvW(commandLine.c_str(), &count));
    if (!split)
        return {};
    const auto* arguments = static_cast<wchar_t**>(split.get());
    return std::vector<std::wstring>(arguments, arguments + count);
}

bool IsRegistrationRequest(const std::vector<std::wstring>& arguments)
{
    bool registerSwitch = false;
    bool backgroundSwitch = false;
    for (const std::wstring& argument : arguments) {
        registerSwitch = registerSwitch || SameSwitch(argument, L"/Register");
        backgroundSwitch = backgroundSwitch || SameSwitch(argument, L"/Background");
    }
    return registerSwitch && backgroundSwitch;
}

int RunRegistration(const std::wstring& commandLine)
{
    const std::wstring arguments = ArgumentsAfterProgramName(commandLine);
    if (arguments.find_first_of(L"\r\n") != std::wstring::npos)
        return kRegistrationRefused;
    std::vector<std::wstring> split = SplitCommandLine(commandLine);
    for (std::size_t i = 1; i < split.size(); ++i)
        if (IsUpdateArgument(split[i]) && !IsWellFormedUpdate(split[i]))
            return kRegistrationRefused;
    const std::optional<int> status = SuccessStatus();
    if (!status)
        return kRegistrationRefused;

    const std::wstring folder = ProgramFolder();
    if (folder.empty())
        return kRegistrationNotRecorded;
    const std::string line = Utf8(WorkingFolder()) + '\t' + Utf8(arguments) + "\r\n";
    if (!AppendLine(folder + L'\\' + std::wstring(kRegistrationFileName), line))
        return kRegistrationNotRecorded;
    return *status;
}

} // namespace standin
