#pragma once
// Steps that several whole-installer scenarios take.
#include "tests/e2e/driver.h"
#include "tests/e2e/installer_paths.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace e2e {

enum class ExitQuestion { Expected, NotExpected };

// Closes the wizard with its Exit button, confirms the question that an unfinished
// installation asks, and expects the framework's exit status 0.
inline void ExitWizard(Program& installer, HWND wizard, ExitQuestion question = ExitQuestion::Expected)
{
    ASSERT_TRUE(IsControlEnabled(wizard, IDCANCEL));
    Click(wizard, IDCANCEL);
    if (question == ExitQuestion::Expected) {
        HWND box = WaitForMessageBox(installer.id());
        ASSERT_NE(box, nullptr) << "no question before leaving";
        Click(box, IDYES);
    }
    EXPECT_EQ(installer.WaitForExit(), std::optional<DWORD>(0));
}

// A stand-in for a running copy of the product (counter_holder): it holds one unit of the
// product's running-instance counter from construction until End().
class RunningProduct {
public:
    RunningProduct()
        : m_readyName(testsupport::UniqueName(L"holder-ready")),
          m_releaseName(testsupport::UniqueName(L"holder-release")),
          m_ready(testsupport::CreateNamedEvent(m_readyName)),
          m_release(testsupport::CreateNamedEvent(m_releaseName)),
          m_program(Program::Start(CounterHolderPath(), L"Ostrel4 " + m_readyName + L" " + m_releaseName))
    {
    }

    // Whether it started and holds its unit.
    bool WaitRunning() const { return ::WaitForSingleObject(m_ready.get(), kTimeout) == WAIT_OBJECT_0; }

    // Lets it end; its exit code, or nothing when it did not end.
    std::optional<DWORD> End()
    {
        ::SetEvent(m_release.get());
        return m_program.WaitForExit();
    }

private:
    std::wstring m_readyName;
    std::wstring m_releaseName;
    vt::unique_handle m_ready;
    vt::unique_handle m_release;
    Program m_program;
};

} // namespace e2e
