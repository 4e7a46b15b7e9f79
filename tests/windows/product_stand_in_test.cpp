// The programs the package carries in place of the product's: the main program's version
// resource, its self-registration for the installer, its window and its place in the
// running-instance counter, and the uninstaller's placeholder.
#include "app/file_version_info.h"
#include "app/named_objects.h"
#include "app/product_identity.h"
#include "tests/support/product_stand_ins.h"
#include "tests/support/test_files.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

constexpr DWORD kTimeout = 60000;

// A program this test started; ended by force if the test leaves it running.
class StartedProgram {
public:
    StartedProgram(const std::wstring& path, const std::wstring& arguments, const std::wstring& workingFolder)
    {
        std::wstring commandLine = L"\"" + path + L"\"" + arguments;
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION info{};
        if (::CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                             workingFolder.c_str(), &startup, &info)) {
            ::CloseHandle(info.hThread);
            m_process.reset(info.hProcess);
            m_id = info.dwProcessId;
        }
    }
    ~StartedProgram()
    {
        if (m_process && ::WaitForSingleObject(m_process.get(), 0) == WAIT_TIMEOUT) {
            ::TerminateProcess(m_process.get(), 99);
            ::WaitForSingleObject(m_process.get(), kTimeout);
        }
    }
    StartedProgram(const StartedProgram&) = delete;
    StartedProgram& operator=(const StartedProgram&) = delete;

    bool started() const noexcept { return static_cast<bool>(m_process); }
    DWORD id() const noexcept { return m_id; }

    // The exit status, or nothing when the program did not end in time.
    std::optional<DWORD> WaitForExit()
    {
        if (::WaitForSingleObject(m_process.get(), kTimeout) != WAIT_OBJECT_0)
            return std::nullopt;
        DWORD status = 0;
        ::GetExitCodeProcess(m_process.get(), &status);
        return status;
    }

private:
    vt::unique_handle m_process;
    DWORD m_id = 0;
};

// Sets an environment variable of this process, which started programs inherit, for one scope.
class ScopedVariable {
public:
    ScopedVariable(const wchar_t* name, const std::optional<std::wstring>& value) : m_name(name)
    {
        if (value)
            ::SetEnvironmentVariableW(name, value->c_str());
    }
    ~ScopedVariable() { ::SetEnvironmentVariableW(m_name, nullptr); }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

private:
    const wchar_t* m_name;
};

// The stand-in copied into a folder of its own, with a blank in its path, so that each test
// reads only its own registration file; and a separate working folder.
struct InstalledStandIn {
    testsupport::ScratchFolder scratch{L"stand-in"};
    std::filesystem::path programFolder = std::filesystem::path(scratch.path.wstring()) / L"Ostrel 4";
    std::filesystem::path workingFolder = std::filesystem::path(scratch.path.wstring()) / L"work";
    std::wstring program = (programFolder / L"Ostrel.exe").wstring();

    explicit InstalledStandIn(const std::wstring& version = L"4.5.0.1")
    {
        std::filesystem::create_directories(programFolder);
        std::filesystem::create_directories(workingFolder);
        std::filesystem::copy_file(testsupport::StandInProgram(version), program);
    }
};

struct TopLevelWindowSearch {
    DWORD processId;
    HWND found = nullptr;
};

BOOL CALLBACK FindVisibleWindowOfProcess(HWND window, LPARAM parameter)
{
    auto& search = *reinterpret_cast<TopLevelWindowSearch*>(parameter);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (owner != search.processId || !::IsWindowVisible(window))
        return TRUE;
    search.found = window;
    return FALSE;
}

// The visible top-level window of the process, waited for.
HWND WaitForWindowOf(DWORD processId)
{
    for (int attempt = 0; attempt < 600; ++attempt) {
        TopLevelWindowSearch search{processId};
        ::EnumWindows(&FindVisibleWindowOfProcess, reinterpret_cast<LPARAM>(&search));
        if (search.found != nullptr)
            return search.found;
        ::Sleep(100);
    }
    return nullptr;
}

std::wstring WindowText(HWND window)
{
    wchar_t text[256] = {};
    ::GetWindowTextW(window, text, 256);
    return text;
}

} // namespace

TEST(ProductStandIn, VersionResources)
{
    struct Case {
        std::wstring path;
        std::uint64_t version;
        std::wstring versionText;
        std::wstring description;
        std::wstring originalName;
    };
    const Case cases[] = {
        {testsupport::StandInProgram(L"4.5.0.1"), PackFileVersion(4, 5, 0, 1), L"4.05", L"Ostrel 4.05", L"Ostrel.exe"},
        {testsupport::StandInProgram(L"4.4.0.0"), PackFileVersion(4, 4, 0, 0), L"4.04", L"Ostrel 4.04", L"Ostrel.exe"},
        {testsupport::StandInUninstaller(), PackFileVersion(4, 5, 0, 1), L"4.05", L"Uninstall Ostrel 4",
         L"Uninstall.exe"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::filesystem::path(c.path).string()));
        const FileVersionInfo info(c.path);
        ASSERT_TRUE(info.HasFixedInfo()) << "no version resource (is the file built?)";
        EXPECT_EQ(info.GetFileVersion(), c.version);
        EXPECT_EQ(info.translations(), std::vector<std::wstring>{L"040004b0"});
        EXPECT_EQ(info.GetString(L"ProductVersion"), c.versionText);
        EXPECT_EQ(info.GetString(L"FileDescription"), c.description);
        EXPECT_EQ(info.GetString(L"OriginalFilename"), c.originalName);
        EXPECT_EQ(info.GetString(L"ApplicationId"), L"Ostrel4");
        EXPECT_EQ(info.GetString(L"CompanyName"), L"Vantor & Lind");
        EXPECT_EQ(info.GetString(L"ProductName"), L"Ostrel");
    }
}

TEST(ProductStandIn, RegistrationRecordsItsArgumentsAndWorkingFolder)
{
    struct Case {
        std::wstring arguments; // after the quoted program path
        std::optional<std::wstring> exitStatusVariable;
        DWORD expectedStatus;
        std::optional<std::wstring> recorded; // the arguments of the one line written, if any
    };
    const Case cases[] = {
        {L" /Register /Background /update=0004000400000000", std::nullopt, 0xFFFFFFF6,
         L"/Register /Background /update=0004000400000000"},
        {L" /Register /Background", std::nullopt, 0xFFFFFFF6, L"/Register /Background"},
        {L"   /background  /REGISTER x", std::nullopt, 0xFFFFFFF6, L"/background  /REGISTER x"},
        {L" /Register /Background", L"0", 0, L"/Register /Background"},
        {L" /Register /Background", L"-3", 0xFFFFFFFD, L"/Register /Background"},
        {L" /Register /Background /update=00040004", std::nullopt, standin::kRegistrationRefused, std::nullopt},
        {L" /Register /Background /update=000400040000000g", std::nullopt, standin::kRegistrationRefused,
         std::nullopt},
        {L" /Register /Background", L"ten", standin::kRegistrationRefused, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::filesystem::path(c.arguments).string()));
        InstalledStandIn standIn;
        const ScopedVariable variable(standin::kExitStatusVariable.data(), c.exitStatusVariable);
        StartedProgram program(standIn.program, c.arguments, standIn.workingFolder.wstring());
        ASSERT_TRUE(program.started()) << "cannot start " << testing::PrintToString(standIn.program);
        EXPECT_EQ(program.WaitForExit(), c.expectedStatus);

        const auto records = testsupport::ReadRegistrations(standIn.programFolder);
        if (!c.recorded) {
            EXPECT_TRUE(records.empty()) << "a refused registration writes nothing";
            continue;
        }
        ASSERT_EQ(records.size(), 1u);
        EXPECT_EQ(records[0].arguments, *c.recorded);
        EXPECT_EQ(records[0].workingFolder, standIn.workingFolder.wstring());
    }
}

TEST(ProductStandIn, EachRegistrationAppendsALine)
{
    InstalledStandIn standIn;
    for (const wchar_t* arguments : {L" /Register /Background", L" /Register /Background /update=0004000400000000"}) {
        StartedProgram program(standIn.program, arguments, standIn.programFolder.wstring());
        ASSERT_TRUE(program.started());
        EXPECT_EQ(program.WaitForExit(), 0xFFFFFFF6);
    }
    const auto records = testsupport::ReadRegistrations(standIn.programFolder);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].arguments, L"/Register /Background");
    EXPECT_EQ(records[1].arguments, L"/Register /Background /update=0004000400000000");
    EXPECT_EQ(records[1].workingFolder, standIn.programFolder.wstring());
}

TEST(ProductStandIn, WindowHoldsAUnitOfTheCounterUntilClosed)
{
    struct Case {
        std::wstring version;
        std::wstring title;
    };
    for (const Case& c : {Case{L"4.5.0.1", L"Ostrel 4.05"}, Case{L"4.4.0.0", L"Ostrel 4.04"}}) {
        SCOPED_TRACE(testing::PrintToString(std::filesystem::path(c.version).string()));
        InstalledStandIn standIn(c.version);
        InstanceCounter counter(L"Ostrel4");
        const LONG before = counter.Count();

        StartedProgram program(standIn.program, L"", standIn.workingFolder.wstring());
        ASSERT_TRUE(program.started());
        HWND window = WaitForWindowOf(program.id());
        ASSERT_NE(window, nullptr) << "the stand-in showed no window";
        EXPECT_EQ(WindowText(window), c.title);
        EXPECT_EQ(counter.Count(), before + 1) << "the running stand-in counts in the counter of \"Ostrel4\"";

        ::PostMessageW(window, WM_CLOSE, 0, 0);
        EXPECT_EQ(program.WaitForExit(), 0u);
        EXPECT_EQ(counter.Count(), before) << "the stand-in gave its unit back when it ended";
        EXPECT_TRUE(testsupport::ReadRegistrations(standIn.programFolder).empty())
            << "only a registration writes the file";
    }
}
