#include "app/startup.h"
#include "tests/support/shell_folders.h"

#include <gtest/gtest.h>
#include <shlobj.h>

using testsupport::ShellFolder;

TEST(StartupSteps, CachedFoldersAreTheMakersFoldersAndDocuments)
{
    const CachedFolders folders = ComputeCachedFolders();
    EXPECT_EQ(folders.commonMakerFolder, ShellFolder(CSIDL_COMMON_APPDATA) + L"\\Vantor & Lind");
    EXPECT_EQ(folders.userMakerFolder, ShellFolder(CSIDL_APPDATA) + L"\\Vantor & Lind");
    EXPECT_EQ(folders.documentsFolder, ShellFolder(CSIDL_PERSONAL));
}

TEST(StartupSteps, ApplicationIdFallsBackToTheProgramName)
{
    // This test program's version resource has no Unicode translation, so neither
    // ApplicationId nor ProductName can be read: the file name decides.
    EXPECT_EQ(ComputeApplicationId(), L"ostrel_windows_tests");
}

TEST(StartupSteps, CommonControlsVersionIsRead)
{
    const DWORD version = GetComCtlVersion();
    EXPECT_GE(HIWORD(version), 5u) << std::hex << version;
    EXPECT_TRUE(ComCtlVersionAcceptable(MAKELONG(0, 6)));
    EXPECT_TRUE(ComCtlVersionAcceptable(MAKELONG(10, 6)));
}
