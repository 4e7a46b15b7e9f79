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

// Another process holding a file open with no sharing (the role "hold-file" of this program),
// from construction until Release(): no one may read, write, move or delete the file meanwhile.
class HeldFile {
public:
    explicit HeldFile(const std::wstring& path)
        : m_readyName(testsupport::UniqueName(L"file-held")),
          m_releaseName(testsupport::UniqueName(L"file-release")),
          m_ready(testsupport::CreateNamedEvent(m_readyName)),
          m_release(testsupport::CreateNamedEvent(m_releaseName)),
          m_holder(L"hold-file", {path, m_readyName, m_releaseName})
    {
    }
    ~HeldFile() { Release(); }
    HeldFile(const HeldFile&) = delete;
    HeldFile& operator=(const HeldFile&) = delete;

    // Whether the holder has the file open.
    bool WaitHeld() const
    {
        const HANDLE handles[] = {m_ready.get(), m_holder.process()};
        return ::WaitForMultipleObjects(2, handles, FALSE, kTimeout) == WAIT_OBJECT_0;
    }

    // Lets the holder close the file and end; its exit code (0 when it had held the file).
    DWORD Release()
    {
        if (!m_released) {
            ::SetEvent(m_release.get());
            m_exitCode = m_holder.Wait(kTimeout);
            m_released = true;
        }
        return m_exitCode;
    }

private:
    std::wstring m_readyName;
    std::wstring m_releaseName;
    vt::unique_handle m_ready;
    vt::unique_handle m_release;
    testsupport::ChildProcess m_holder;
    bool m_released = false;
    DWORD m_exitCode = 0;
};

} // namespace e2e
