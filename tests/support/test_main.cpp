// The entry point of the Windows test programs: a role in a child process, or the tests.
#include "tests/support/child_process.h"

#include <gtest/gtest.h>

int wmain(int argc, wchar_t** argv)
{
    int exitCode = 0;
    if (testsupport::RunRequestedRole(argc, argv, exitCode))
        return exitCode;
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
