#pragma once
// Steps of the scenarios that really install: reaching the installation page, pressing Install
// and waiting for the run's end, reading the transcript, and looking at what the run left in the
// temporary folder.
#include "tests/e2e/driver.h"
#include "tests/e2e/removal_log_text.h"
#include "tests/e2e/scenario_steps.h"
#include "tests/e2e/wizard_steps.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

namespace e2e {

inline constexpr DWORD kRunTimeout = 180000; // a whole installation under Wine, program run included

inline const std::wstring kInstallStatus = L"Click on 'Install' to start Installation.";
inline const std::wstring kContinueStatus = L"Click on 'Next' to continue.";

// From the start page with the fast method to the installation page; whether it arrived.
inline bool WalkFastMethodToInstallation(HWND wizard)
{
    if (Press(wizard, IDOK) != 1)
        return false;
    ChooseMethod(ActivePage(wizard), false);
    return Press(wizard, IDOK) == 4;
}

// A run as the installation page shows it once it has ended.
struct RunOutcome {
    bool ended = false;     // the wizard's buttons came back within the time allowed
    bool succeeded = false; // the wizard offers the way on (Exit and Next) rather than Install again
    std::wstring transcript; // the whole log box
    std::wstring runText;    // what this run appended to it
    std::wstring status;
};

// Presses Install on the installation page and waits until the run has ended.
inline RunOutcome RunInstallation(HWND wizard)
{
    RunOutcome outcome;
    HWND page = ActivePage(wizard);
    const std::wstring before = ControlText(page, kInstallLog);
    if (ControlText(wizard, IDOK) != L"Install" || !IsControlEnabled(wizard, IDOK))
        return outcome;
    Click(wizard, IDOK);
    // The run appends to the log box only after the frame has disabled its buttons, so Exit
    // enabled again after the log changed means the run is over. A box too busy to answer
    // gives an empty text, which is not taken for a change.
    for (DWORD waited = 0;; waited += 100) {
        const std::wstring now = ControlText(page, kInstallLog);
        if (!now.empty() && now != before)
            break;
        if (waited >= kRunTimeout)
            return outcome;
        ::Sleep(100);
    }
    outcome.ended = WaitForControlEnabled(wizard, IDCANCEL, true, kRunTimeout);
    outcome.transcript = ControlText(page, kInstallLog);
    if (outcome.transcript.compare(0, before.size(), before) == 0)
        outcome.runText = outcome.transcript.substr(before.size());
    outcome.status = ControlText(page, kStatusLine);
    outcome.succeeded = outcome.ended && ControlText(wizard, IDCANCEL) == L"Exit" &&
                        ControlText(wizard, IDOK) == L"Next  >";
    return outcome;
}

inline std::string Utf8Lines(const std::vector<std::wstring>& lines)
{
    std::string text;
    for (const std::wstring& line : lines)
        text += Utf8(line) + "\n";
    return text;
}

// The run's step lines: what follows the full line of dashes that opens the run.
inline std::vector<std::wstring> StepLines(const std::wstring& runText)
{
    std::vector<std::wstring> lines = Lines(runText);
    if (!lines.empty() && lines.front().find_first_not_of(L'-') == std::wstring::npos)
        lines.erase(lines.begin());
    return lines;
}

inline std::wstring FailedStatus(const std::wstring& code)
{
    return L"Installation failed (Error Code " + code + L").";
}

// The system's temporary folder, without its trailing backslash.
inline std::wstring TemporaryFolder()
{
    wchar_t folder[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, folder);
    std::wstring path = folder;
    if (!path.empty() && path.back() == L'\\')
        path.pop_back();
    return path;
}

// What the installer may leave in the temporary folder: its backups ("vt" names) and its run
// folders ("vantor_{…}").
inline std::set<std::wstring> InstallerLeftovers()
{
    std::set<std::wstring> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(TemporaryFolder(), error)) {
        const std::wstring name = entry.path().filename().wstring();
        if (name.compare(0, 2, L"vt") == 0 || name.compare(0, 7, L"vantor_") == 0)
            names.insert(name);
    }
    return names;
}

// After a successful run: Next to the end page, then Exit, which asks nothing any more.
inline void LeaveByTheEndPage(Program& installer, HWND wizard)
{
    EXPECT_EQ(Press(wizard, IDOK), 5) << "the end page follows";
    ExitWizard(installer, wizard, ExitQuestion::NotExpected);
}

// Sets an environment variable of this process (and so of the installer it starts) until the
// guard goes.
class EnvironmentVariable {
public:
    EnvironmentVariable(std::wstring name, const std::wstring& value) : m_name(std::move(name))
    {
        ::SetEnvironmentVariableW(m_name.c_str(), value.c_str());
    }
    ~EnvironmentVariable() { ::SetEnvironmentVariableW(m_name.c_str(), nullptr); }
    EnvironmentVariable(const EnvironmentVariable&) = delete;
    EnvironmentVariable& operator=(const EnvironmentVariable&) = delete;

private:
    std::wstring m_name;
};

} // namespace e2e
