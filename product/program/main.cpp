// Stands in for the main program of Ostrel 4 in the installer's package: it counts itself among
// the product's running copies for as long as it runs, registers itself when the installer asks
// (registration_record.h), and otherwise shows a window until it is closed.
#include "app/file_version_info.h"
#include "app/named_objects.h"
#include "product/program/main_window.h"
#include "product/program/registration.h"

#include <windows.h>

#include <memory>
#include <system_error>

namespace {

// The same application id as the installer's: the version resource's ApplicationId, else its
// product name, so that the installer sees this program running.
std::wstring ApplicationId(const FileVersionInfo& program)
{
    if (std::wstring id = program.GetString(L"ApplicationId"); !id.empty())
        return id;
    return program.GetString(L"ProductName");
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand)
{
    const std::wstring commandLine = ::GetCommandLineW();
    const std::vector<std::wstring> split = standin::SplitCommandLine(commandLine);
    const bool background =
        split.size() > 1 && standin::IsRegistrationRequest(std::vector<std::wstring>(split.begin() + 1, split.end()));

    const FileVersionInfo program = FileVersionInfo::OfProgram();
    std::unique_ptr<InstanceCounter> runningInstance;
    try {
        runningInstance = std::make_unique<InstanceCounter>(ApplicationId(program));
    } catch (const std::system_error&) {
        // The installer waits for a registration without a time limit: no box may stop it.
        if (!background)
            ::MessageBoxW(nullptr, L"Initialization Error", nullptr, MB_ICONERROR | MB_TASKMODAL | MB_SETFOREGROUND);
        return -11;
    }

    if (background)
        return standin::RunRegistration(commandLine);
    return standin::RunMainWindow(instance, L"Ostrel " + program.GetString(L"ProductVersion"), showCommand);
}
