// The demo's installation: starts the installer, takes the quick path, presses Install, waits
// for the run's end and prints its transcript, then shows the end page and leaves with Exit.
// Screenshots: the installation page after the run and the end page.
// Run as: ostrel_e2e --role demo-install [snapshot folder [name prefix]]
#include "tests/e2e/installation_steps.h"

#include <cstdio>

using namespace e2e;

namespace {

int DemoInstall(const std::vector<std::wstring>& arguments)
{
    const Snapshots snapshots(arguments.empty() ? std::nullopt : std::optional<std::wstring>(arguments[0]));
    const std::wstring prefix = arguments.size() > 1 ? arguments[1] : std::wstring();
    StartedWizard started = StartWizard();
    if (started.wizard == nullptr) {
        std::printf("no wizard appeared\n");
        return 1;
    }
    HWND wizard = started.wizard;
    std::printf("taking the quick path to the installation page\n");
    if (!WalkFastMethodToInstallation(wizard)) {
        std::printf("the installation page did not come\n");
        return 1;
    }
    std::printf("pressing \"%s\"\n", Utf8(ControlText(wizard, IDOK)).c_str());
    std::fflush(stdout);
    const ULONGLONG pressed = ::GetTickCount64();
    const RunOutcome run = RunInstallation(wizard);
    const ULONGLONG took = ::GetTickCount64() - pressed;
    if (!run.ended) {
        std::printf("the installation did not end\n");
        return 1;
    }
    std::printf("== the installation transcript\n%s== status: \"%s\"\n", Utf8(run.transcript).c_str(),
                Utf8(run.status).c_str());
    std::printf("the installation %s after %.1f s\n", run.succeeded ? "succeeded" : "failed", took / 1000.0);
    std::fflush(stdout);
    ::Sleep(500); // let the page repaint after the run before the screenshot
    snapshots.Take(wizard, prefix + L"installed");

    bool leftAsked = true;
    if (run.succeeded && Press(wizard, IDOK) == 5) {
        ::Sleep(500);
        std::printf("the end page: \"%s\"\n", Utf8(ControlText(ActivePage(wizard), kStatusLine)).c_str());
        snapshots.Take(wizard, prefix + L"end-page");
        leftAsked = false;
    }
    std::printf("pressing \"%s\"\n", Utf8(ControlText(wizard, IDCANCEL)).c_str());
    Click(wizard, IDCANCEL);
    if (leftAsked) {
        if (HWND box = WaitForMessageBox(started.installer.id(), 5000))
            Click(box, IDYES);
    }
    const std::optional<DWORD> exitCode = started.installer.WaitForExit();
    if (!exitCode) {
        std::printf("the installer did not end\n");
        return 1;
    }
    std::printf("the installer ended with exit status %lu\n", *exitCode);
    return run.succeeded ? 0 : 1;
}

const bool registered = testsupport::RegisterRole(L"demo-install", &DemoInstall);

} // namespace
