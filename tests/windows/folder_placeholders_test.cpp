#include "package/compress_error.h"
#include "package/folder_placeholders.h"
#include "package/placeholder_table.h"
#include "package/same_path.h"
#include "tests/support/test_files.h"

#include <boost/filesystem/operations.hpp>
#include <gtest/gtest.h>
#include <shlobj.h>

#include <set>

namespace fs = boost::filesystem;

namespace {

// Every special folder as C:\csidl-<number>, except those listed as unknown to the shell.
special_folder_lookup FakeShell(std::set<int> unknown = {})
{
    return [unknown](int csidl) {
        return unknown.count(csidl) ? std::wstring() : L"C:\\csidl-" + std::to_wstring(csidl);
    };
}

const package_folders kFolders{L"C:\\Program Files\\Ostrel 4", L"Ostrel Samples", L"C:\\Temp\\run-1"};

std::wstring Resolve(const std::wstring& folderTemplate, const package_folders& folders = kFolders,
                     const special_folder_lookup& lookup = FakeShell())
{
    shared_folder_list shared([](const fs::path&) { return true; });
    return resolve_folder_template(folderTemplate, folders, shared, lookup).wstring();
}

std::vector<std::wstring> Recorded(const std::vector<std::wstring>& templates, const package_folders& folders = kFolders)
{
    shared_folder_list shared([](const fs::path&) { return true; });
    for (const std::wstring& folderTemplate : templates)
        resolve_folder_template(folderTemplate, folders, shared, FakeShell());
    std::vector<std::wstring> recorded;
    for (const shared_folder& folder : shared.folders())
        recorded.push_back(folder.folder.wstring());
    return recorded;
}

using TemporaryFolder = testsupport::ScratchFolder;

} // namespace

TEST(FolderPlaceholders, TemplatesResolveByTheTable)
{
    const struct {
        const wchar_t* folderTemplate;
        const wchar_t* folder;
    } cases[] = {
        {L"<InstallPath>", L"C:\\Program Files\\Ostrel 4"},
        {L"<InstallPath>\\Languages", L"C:\\Program Files\\Ostrel 4\\Languages"},
        {L"<InstallPath>/a//b\\", L"C:\\Program Files\\Ostrel 4\\a\\b"},
        {L"<ProgramFiles>\\x", L"C:\\csidl-38\\x"},
        {L"<ProgramCommon>", L"C:\\csidl-43"},
        {L"<CommonData>\\Vantor & Lind\\Ostrel 4", L"C:\\csidl-35\\Vantor & Lind\\Ostrel 4"},
        {L"<UserData>\\Vantor & Lind", L"C:\\csidl-26\\Vantor & Lind"},
        {L"<CommonDocuments>", L"C:\\csidl-46"},
        {L"<Documents>", L"C:\\csidl-5"},
        {L"<CommonDesktop>", L"C:\\csidl-25"},
        {L"<Desktop>", L"C:\\csidl-16"},
        {L"<WinDir>", L"C:\\csidl-36"},
        {L"<System>", L"C:\\csidl-37"},
        {L"<Temporary>", L"C:\\Temp\\run-1"},
        {L"<SamplePath>", L"C:\\csidl-25\\Ostrel Samples"},
        {L"<SamplePath>\\More", L"C:\\csidl-25\\Ostrel Samples\\More"},
        // Exact case only: anything else in brackets stands for nothing.
        {L"<installpath>\\Languages", L"Languages"},
        {L"<INSTALLPATH>", L""},
        {L"<Unknown>\\a\\b", L"a\\b"},
        // Literal paths stay as they are.
        {L"C:\\Literal\\..\\Path", L"C:\\Literal\\..\\Path"},
        {L"relative\\<InstallPath>", L"relative\\<InstallPath>"},
        {L"", L""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Resolve(c.folderTemplate), c.folder) << testing::PrintToString(std::wstring(c.folderTemplate));
}

TEST(FolderPlaceholders, SampleAndTemporaryFolders)
{
    const struct {
        const wchar_t* sample;
        const wchar_t* temporary;
        const wchar_t* folderTemplate;
        const wchar_t* folder;
    } cases[] = {
        {L"D:\\Samples", L"", L"<SamplePath>", L"D:\\Samples"},
        {L"", L"", L"<SamplePath>", L"C:\\csidl-25"},
        {L"a\\b", L"", L"<SamplePath>", L"C:\\csidl-25\\a\\b"},
        {L"", L"", L"<Temporary>\\x", L"C:\\Program Files\\Ostrel 4\\x"},
    };
    for (const auto& c : cases) {
        const package_folders folders{kFolders.installation, c.sample, c.temporary};
        EXPECT_EQ(Resolve(c.folderTemplate, folders), c.folder)
            << testing::PrintToString(std::wstring(c.folderTemplate)) << " with sample "
            << testing::PrintToString(std::wstring(c.sample));
    }
}

TEST(FolderPlaceholders, FallbacksWhenTheShellHasNoFolder)
{
    EXPECT_EQ(Resolve(L"<CommonData>\\x", kFolders, FakeShell({CSIDL_COMMON_APPDATA})), L"C:\\csidl-26\\x")
        << "the user's roaming data folder";
    EXPECT_EQ(Resolve(L"<SamplePath>", kFolders, FakeShell({CSIDL_COMMON_DESKTOPDIRECTORY})),
              L"C:\\csidl-16\\Ostrel Samples")
        << "the user's desktop";
    EXPECT_EQ(Resolve(L"<CommonDocuments>", kFolders, FakeShell({CSIDL_COMMON_DOCUMENTS})), L"C:\\csidl-5");

    for (const wchar_t* folderTemplate : {L"<UserData>", L"<CommonData>"}) {
        try {
            Resolve(folderTemplate, kFolders, FakeShell({CSIDL_COMMON_APPDATA, CSIDL_APPDATA}));
            ADD_FAILURE() << "no folder and no error for " << testing::PrintToString(std::wstring(folderTemplate));
        } catch (const std::system_error& error) {
            EXPECT_EQ(error.code(), make_error_code(unexpected_error));
        }
    }
}

TEST(FolderPlaceholders, TheRealShellGivesEveryFolder)
{
    shared_folder_list shared([](const fs::path&) { return true; });
    for (const placeholder& row : placeholder_table()) {
        if (row.base != placeholder_base::special)
            continue;
        const std::wstring name(row.name);
        const fs::path folder = resolve_folder_template(name, kFolders, shared);
        EXPECT_TRUE(fs::is_directory(folder)) << testing::PrintToString(name) << " gives " << folder;
        EXPECT_TRUE(same_path(folder, shell_folder_path(row.csidl))) << testing::PrintToString(name);
    }
    EXPECT_TRUE(same_path(resolve_folder_template(L"<SamplePath>", {kFolders.installation, L"", L""}, shared),
                          shell_folder_path(CSIDL_COMMON_DESKTOPDIRECTORY)));
}

TEST(FolderPlaceholders, NoFolderAboveThePlaceholder)
{
    for (const wchar_t* folderTemplate :
         {L"<CommonData>\\..\\x", L"<InstallPath>\\a\\..\\..\\Windows", L"<CommonDocuments>\\..", L"<Temporary>/../x"}) {
        shared_folder_list shared([](const fs::path&) { return true; });
        try {
            resolve_folder_template(folderTemplate, kFolders, shared, FakeShell());
            ADD_FAILURE() << "accepted " << testing::PrintToString(std::wstring(folderTemplate));
        } catch (const std::system_error& error) {
            EXPECT_EQ(error.code(), make_error_code(unexpected_error));
        }
        EXPECT_TRUE(shared.folders().size() <= 1u) << "nothing recorded above the placeholder";
    }
}

TEST(SharedFolders, RecordedLevelsBelowSharedPlaceholdersOnly)
{
    EXPECT_EQ(Recorded({L"<CommonData>\\Vantor & Lind\\Ostrel 4"}),
              (std::vector<std::wstring>{L"C:\\csidl-35\\Vantor & Lind", L"C:\\csidl-35\\Vantor & Lind\\Ostrel 4"}));
    EXPECT_EQ(Recorded({L"<CommonData>"}), std::vector<std::wstring>{}) << "never the special folder itself";
    EXPECT_EQ(Recorded({L"<UserData>\\a", L"<InstallPath>\\b", L"<Documents>\\c"}), std::vector<std::wstring>{});
    EXPECT_EQ(Recorded({L"<CommonDocuments>\\d", L"<CommonDesktop>\\e"}),
              (std::vector<std::wstring>{L"C:\\csidl-46\\d", L"C:\\csidl-25\\e"}));
    EXPECT_EQ(Recorded({L"<SamplePath>\\a\\b"}), std::vector<std::wstring>{L"C:\\csidl-25\\Ostrel Samples"})
        << "the combined sample folder, not the levels below it";
    EXPECT_EQ(Recorded({L"<SamplePath>"}, {kFolders.installation, L"D:\\Samples", L""}), std::vector<std::wstring>{})
        << "an absolute sample folder is not shared";
    EXPECT_EQ(Recorded({L"<SamplePath>"}, {kFolders.installation, L"", L""}), std::vector<std::wstring>{})
        << "nor the desktop itself";
    EXPECT_EQ(Recorded({L"<CommonData>\\V\\O", L"<CommonData>\\v\\", L"<CommonData>\\V\\.\\O"}),
              (std::vector<std::wstring>{L"C:\\csidl-35\\V", L"C:\\csidl-35\\V\\O"}))
        << "the same folder through other templates is recorded once";
}

TEST(SharedFolders, EachIsOpenedOnceByTheFirstFileBelowIt)
{
    TemporaryFolder root;
    std::vector<fs::path> granted;
    shared_folder_list shared([&](const fs::path& folder) {
        granted.push_back(folder);
        return true;
    });
    const fs::path level1 = root.path / L"Vantor & Lind";
    const fs::path level2 = level1 / L"Ostrel 4";
    const fs::path elsewhere = root.path / L"Elsewhere";
    shared.record(level1);
    shared.record(level2);
    shared.record(elsewhere);

    fs::create_directories(level2 / L"Deeper");
    shared.open_above(level2 / L"Deeper");
    EXPECT_EQ(granted, (std::vector<fs::path>{level1, level2})) << "both ancestors, in list order";
    shared.open_above(level2);
    shared.open_above(level1);
    EXPECT_EQ(granted.size(), 2u) << "opened once each";
    EXPECT_FALSE(shared.folders()[2].done);

    shared.open_above(root.path / L"Missing");
    EXPECT_EQ(granted.size(), 2u) << "a parent that does not exist opens nothing";
}

TEST(SharedFolders, AFailureOfOneFolderDoesNotStopTheNext)
{
    TemporaryFolder root;
    std::vector<fs::path> granted;
    shared_folder_list shared([&](const fs::path& folder) -> bool {
        granted.push_back(folder);
        if (granted.size() == 1)
            throw std::runtime_error("access denied");
        return false;
    });
    shared.record(root.path);
    shared.record(root.path / L"a");
    fs::create_directories(root.path / L"a");
    shared.open_above(root.path / L"a");
    EXPECT_EQ(granted, (std::vector<fs::path>{root.path, root.path / L"a"}));
    EXPECT_TRUE(shared.folders()[0].done) << "a failed grant is not tried again";
}

TEST(SamePath, ThreeWaysToBeTheSame)
{
    TemporaryFolder root;
    fs::create_directories(root.path / L"Real" / L"Sub");
    const fs::path real = root.path / L"Real";
    const fs::path missing = root.path / L"Missing";
    const fs::path current = fs::current_path();
    const struct {
        fs::path a;
        fs::path b;
        bool same;
        const char* why;
    } cases[] = {
        {L"C:\\No\\Such", L"C:\\No\\Such", true, "equal as written"},
        {L"C:/No/Such", L"C:\\No\\Such", true, "either separator"},
        {real, real / L"Sub" / L"..", true, "one object on disk"},
        {real, real / L"Sub", false, "two objects on disk"},
        {real, missing, false, "one exists, the other does not"},
        {missing / L"A" / L"." / L"b" / L".." / L"C", missing / L"a" / L"c", true, "normalised, any case"},
        {missing / L"été", missing / L"ÉTÉ", true, "case beyond ASCII"},
        {missing / L"a", missing / L"a" / L"b", false, "different lengths"},
        {missing / L"ab", missing / L"abc", false, "different names"},
        {L"C:\\..\\No\\Such", L"c:\\no\\such", true, "\"..\" stops at the root"},
        {L"no-such-relative", current / L"no-such-relative", true, "relative to the current folder"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(same_path(c.a, c.b), c.same) << c.why << ": " << c.a << " and " << c.b;
}
