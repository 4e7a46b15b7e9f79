// The entry point of the Windows test programs: a role in a child process, or the tests.
#include "tests/support/child_process.h"

#include <gtest/gtest.h>

namespace {

// Makes Wine start its per-prefix background processes (services, the desktop's explorer).
// The test scripts run it once with output going nowhere, because those processes keep the
// standard handles of the program that started them for as long as the server lives.
int StartDesktop(const std::vector<std::wstring>&)
{
    return ::GetDesktopWindow() != nullptr ? 0 : 1;
}
const bool registered = testsupport::RegisterRole(L"start-desktop", &StartDesktop);

} // namespace

int wmain(int argc, wchar_t** argv)
{
    int exitCode = 0;
    if (testsupport::RunRequestedRole(argc, argv, exitCode))
        return exitCode;
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
