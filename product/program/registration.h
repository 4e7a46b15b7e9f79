#pragma once
// The stand-in's self-registration, run when the installer starts it with "/Register /Background"
// (the record it leaves is described in registration_record.h).
#include <optional>
#include <string>
#include <vector>

namespace standin {

// The command line after the program's name, leading blanks removed. The name ends at the
// closing quote when it begins with one, otherwise at the first blank, as the system reads it.
std::wstring ArgumentsAfterProgramName(const std::wstring& commandLine);

// The command line split into arguments as the system splits it; the first is the program's name.
std::vector<std::wstring> SplitCommandLine(const std::wstring& commandLine);

// Whether the arguments (without the program's name) ask for the registration.
bool IsRegistrationRequest(const std::vector<std::wstring>& arguments);

// Runs the registration for the program's own command line and returns its exit status.
int RunRegistration(const std::wstring& commandLine);

} // namespace standin
