#pragma once
// The installed program's own registration: the installer starts it once and waits for it.
#include <cstdint>
#include <string>

class NamedMutex;
class UninstallLog;

// Runs `programPath` with " /Register /Background" (and " /update=<16 hex digits>" when an older
// `installedVersion` is being updated) in its own folder, without the installer's lock, which
// other installers may take meanwhile. Journalled in `log`. True when the program ended with
// status -10, its way of saying it registered itself.
bool RunRegistration(UninstallLog& log, const std::wstring& programPath, std::uint64_t installedVersion,
                     NamedMutex& installerLock);

// The command line of that run, for the program's path as QuotedPath gives it.
std::wstring RegistrationCommandLine(const std::wstring& quotedProgramPath, std::uint64_t installedVersion);
