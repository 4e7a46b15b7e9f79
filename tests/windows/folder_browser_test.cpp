#include "wizard/folder_browser.h"

#include "framework/unique_resource.h"
#include "tests/support/child_process.h"
#include "tests/support/folder_dialog_driver.h"
#include "tests/support/shell_folders.h"
#include "tests/support/message_box_watcher.h"
#include "wizard/folder_path.h"

#include <gtest/gtest.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <optional>
#include <thread>

namespace {

using testsupport::kFolderDialogTimeout;

constexpr DWORD kPathTooLong = 0x800700CE;

// The system's text for a code, read here rather than through the code under test: E_FAIL's
// when the system has none (as the program falls back), without the trailing line break.
std::wstring SystemText(DWORD code)
{
    wchar_t* text = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
        reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    const vt::unique_hlocal buffer(text);
    if (length == 0)
        return code == static_cast<DWORD>(E_FAIL) ? L"Error" : SystemText(static_cast<DWORD>(E_FAIL));
    std::wstring result(text, length);
    while (!result.empty() && (result.back() == L'\r' || result.back() == L'\n'))
        result.pop_back();
    return result;
}

std::wstring SpecialFolder(int csidl)
{
    std::wstring folder = testsupport::ShellFolder(csidl);
    EXPECT_FALSE(folder.empty()) << csidl;
    return folder;
}

std::wstring CurrentDirectory()
{
    wchar_t path[MAX_PATH] = {};
    ::GetCurrentDirectoryW(MAX_PATH, path);
    return path;
}

std::wstring MakeFolder(const std::wstring& path)
{
    EXPECT_TRUE(::CreateDirectoryW(path.c_str(), nullptr)) << testing::PrintToString(path);
    return path;
}

// A top-level window of the test, the owner of the boxes it expects.
class OwnerWindow {
public:
    OwnerWindow()
        : m_window(::CreateWindowExW(0, L"STATIC", L"owner", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr,
                                     nullptr, nullptr))
    {
    }
    ~OwnerWindow() { ::DestroyWindow(m_window); }
    OwnerWindow(const OwnerWindow&) = delete;
    OwnerWindow& operator=(const OwnerWindow&) = delete;
    HWND get() const { return m_window; }

private:
    HWND m_window;
};

// Keeps the dialog tests of all test programs from running at once: each writes folders that
// the other's dialog would hold in its tree (see SettleFolderTimes).
class DialogTestLock {
public:
    DialogTestLock() : m_mutex(::CreateMutexW(nullptr, FALSE, L"Local\\OstrelFolderDialogTests"))
    {
        const DWORD waited = m_mutex ? ::WaitForSingleObject(m_mutex.get(), 5 * kFolderDialogTimeout) : WAIT_FAILED;
        m_owned = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
        EXPECT_TRUE(m_owned) << "the other test program kept the dialog tests' lock";
    }
    ~DialogTestLock()
    {
        if (m_owned)
            ::ReleaseMutex(m_mutex.get());
    }
    DialogTestLock(const DialogTestLock&) = delete;
    DialogTestLock& operator=(const DialogTestLock&) = delete;

private:
    vt::unique_handle m_mutex;
    bool m_owned = false;
};

// A new folder, removed with what it holds.
class TestFolder {
public:
    explicit TestFolder(const std::wstring& folder) : path(MakeFolder(folder)) {}
    ~TestFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(std::filesystem::path(path), ignored);
    }
    TestFolder(const TestFolder&) = delete;
    TestFolder& operator=(const TestFolder&) = delete;

    const std::wstring path;
};

// Where a dialog test makes its folders. Not the temporary folder: other tests write there
// while the dialog is open, which Wine's dialog does not survive (see SettleFolderTimes); this
// one is written by the dialog tests only, and kept, as removing it would write its drive.
std::wstring DialogTestsFolder()
{
    const std::wstring folder = SpecialFolder(CSIDL_WINDOWS).substr(0, 3) + L"Ostrel folder dialog tests";
    ::CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

struct DialogRun {
    std::wstring result;
    bool dialogShown = false;
    std::optional<testsupport::SeenMessageBox> messageBox;
};

// Runs `browse` on this thread while a second thread waits for the folder dialog that shows
// `title`, hands it to `drive`, which looks at it and decides (true: OK, false: Cancel), and
// makes sure that it closes. A message box is answered with OK and recorded.
DialogRun BrowseWhileDriving(const std::wstring& title, const std::function<std::wstring()>& browse,
                             const std::function<bool(HWND)>& drive)
{
    DialogRun run;
    testsupport::MessageBoxWatcher boxes(IDOK, kFolderDialogTimeout);
    std::atomic<bool> browseReturned{false};
    std::thread driver([&] {
        const DWORD self = ::GetCurrentProcessId();
        HWND dialog = nullptr;
        for (DWORD waited = 0; dialog == nullptr && waited < kFolderDialogTimeout && !browseReturned; waited += 50) {
            dialog = testsupport::FindFolderDialog(self, title);
            if (dialog == nullptr)
                ::Sleep(50);
        }
        if (dialog == nullptr) {
            // Whatever dialog the search missed must not keep the test waiting.
            if (HWND other = testsupport::FindFolderDialog(self))
                testsupport::ClickCancel(other);
            return;
        }
        run.dialogShown = true;
        if (drive(dialog))
            testsupport::ClickOk(dialog);
        else
            testsupport::ClickCancel(dialog);
        if (!testsupport::WaitUntilClosed(dialog))
            ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    });
    run.result = browse();
    browseReturned = true;
    driver.join();
    run.messageBox = boxes.StopWatching();
    return run;
}

} // namespace

TEST(FolderBrowserValidation, AcceptedTextIsTheQualifiedFolder)
{
    const std::wstring longest = L"C:\\" + std::wstring(256, L'a');
    const struct {
        std::wstring typed;
        std::wstring expected;
        const char* why;
    } cases[] = {
        {L"D:", L"D:\\", "a drive names its root"},
        {L"   D:", L"D:\\", "a drive after blanks names its root too"},
        {L"  C:\\Apps\\New\\  ", L"C:\\Apps\\New", "blanks around and a trailing backslash go"},
        {L"C:\\Apps\\Vantor & Lind\\Ostrel 4", L"C:\\Apps\\Vantor & Lind\\Ostrel 4", "a folder that does not exist yet"},
        {L"C:\\", L"C:\\", "a root keeps its backslash"},
        {L"C:\\Apps\\..\\Other", L"C:\\Other", "qualified"},
        {L"", CurrentDirectory(), "nothing typed is the current directory"},
        {longest, longest, "259 characters fit the buffer with its terminator"},
    };
    for (const auto& c : cases) {
        FolderBrowser browser(L"title");
        testsupport::MessageBoxWatcher boxes;
        const bool accepted = browser.ValidateTypedPath(c.typed.c_str(), nullptr);
        const auto& box = boxes.StopWatching();
        EXPECT_TRUE(accepted) << c.why;
        EXPECT_FALSE(box.has_value()) << c.why << ": " << testing::PrintToString(box ? box->text : L"");
        EXPECT_EQ(browser.path(), c.expected) << c.why;
    }
}

TEST(FolderBrowserValidation, RefusedTextShowsTheSystemTextOfItsError)
{
    ASSERT_NE(SystemText(kPathTooLong), SystemText(ERROR_BAD_PATHNAME)) << "the texts tell the errors apart";
    const OwnerWindow owner;
    const struct {
        std::wstring typed;
        DWORD error;
        const char* why;
    } cases[] = {
        {L"C:\\Apps\\Ostrel*", ERROR_BAD_PATHNAME, "a wildcard"},
        {L"C:\\Apps\\Ostrel ?", ERROR_BAD_PATHNAME, "a wildcard"},
        {L"C:\\Apps\\Ostrel|4", ERROR_BAD_PATHNAME, "a character invalid in paths"},
        {L"C:\\Apps\\Ostrel:4", ERROR_BAD_PATHNAME, "a colon after the drive (a stream name)"},
        {L"C:\\" + std::wstring(258, L'a'), kPathTooLong, "260 characters leave no room for the terminator"},
        {L"C:\\" + std::wstring(258, L'a') + L"\\", kPathTooLong, "too long before the backslash goes"},
        {L"C:\\" + std::wstring(300, L'a'), kPathTooLong, "far too long"},
    };
    for (const auto& c : cases) {
        FolderBrowser browser(L"title");
        testsupport::MessageBoxWatcher boxes;
        const bool accepted = browser.ValidateTypedPath(c.typed.c_str(), owner.get());
        const auto& box = boxes.Seen();
        EXPECT_FALSE(accepted) << c.why;
        EXPECT_TRUE(browser.path().empty()) << c.why;
        ASSERT_TRUE(box.has_value()) << c.why;
        EXPECT_EQ(box->text, SystemText(c.error)) << c.why;
        EXPECT_EQ(box->owner, owner.get()) << c.why;
        EXPECT_EQ(box->icon, ::LoadIconW(nullptr, IDI_WARNING)) << c.why;
        EXPECT_FALSE(box->caption.empty()) << "the system's default caption";
    }
}

TEST(FolderBrowserValidation, TheDialogClosesOnlyOnAnAcceptedFolder)
{
    FolderBrowser browser(L"title");
    testsupport::MessageBoxWatcher boxes(IDOK);
    EXPECT_EQ(browser.OnValidateFailed(L"C:\\Apps\\New", nullptr), 0) << "accepted: the dialog may close";
    EXPECT_EQ(browser.OnValidateFailed(L"C:\\Apps\\*", nullptr), 1) << "refused: the dialog stays open";
    EXPECT_TRUE(boxes.StopWatching().has_value()) << "after saying why";
    EXPECT_EQ(browser.path(), L"C:\\Apps\\New") << "the refused text leaves the accepted one";
}

TEST(FolderBrowserValidation, RootedAtTheProgramsMenuTextStaysBelowTheStartMenu)
{
    const std::wstring startMenu = SpecialFolder(CSIDL_COMMON_STARTMENU);
    const std::wstring programs = SpecialFolder(CSIDL_COMMON_PROGRAMS);
    const std::wstring programsName = ::PathFindFileNameW(programs.c_str());
    const std::wstring directoryBefore = CurrentDirectory();
    {
        FolderBrowser browser(L"title");
        browser.SetRoot(CSIDL_COMMON_PROGRAMS);
        EXPECT_EQ(browser.RootParent(), startMenu);
    }

    const struct {
        std::wstring typed;
        std::wstring expected;
        std::wstring relative;
    } accepted[] = {
        {programsName + L"\\Vantor & Lind\\Ostrel 4", startMenu + L"\\" + programsName + L"\\Vantor & Lind\\Ostrel 4",
         programsName + L"\\Vantor & Lind\\Ostrel 4"},
        {L" " + programs + L"\\Ostrel 4\\", programs + L"\\Ostrel 4", programsName + L"\\Ostrel 4"},
        {programsName, programs, programsName},
        {L".", startMenu, L""},
    };
    for (const auto& c : accepted) {
        FolderBrowser browser(L"title");
        browser.SetRoot(CSIDL_COMMON_PROGRAMS);
        testsupport::MessageBoxWatcher boxes;
        EXPECT_TRUE(browser.ValidateTypedPath(c.typed.c_str(), nullptr)) << testing::PrintToString(c.typed);
        const auto& box = boxes.StopWatching();
        EXPECT_FALSE(box.has_value()) << testing::PrintToString(box ? box->text : L"");
        EXPECT_EQ(browser.path(), c.expected);
        EXPECT_EQ(browser.RelativeResult(), c.relative);
        EXPECT_EQ(CurrentDirectory(), directoryBefore) << "the current directory is restored";
    }

    const std::wstring refused[] = {
        L"C:\\Elsewhere",
        L"..\\Outside",
        startMenu + L" Extra\\Ostrel 4", // shares the characters, not the folder
        programsName + L"\\Ostrel*",
    };
    for (const std::wstring& typed : refused) {
        FolderBrowser browser(L"title");
        browser.SetRoot(CSIDL_COMMON_PROGRAMS);
        testsupport::MessageBoxWatcher boxes;
        EXPECT_FALSE(browser.ValidateTypedPath(typed.c_str(), nullptr)) << testing::PrintToString(typed);
        const auto& box = boxes.Seen();
        ASSERT_TRUE(box.has_value()) << testing::PrintToString(typed);
        EXPECT_EQ(box->text, SystemText(ERROR_BAD_PATHNAME)) << testing::PrintToString(typed);
        EXPECT_TRUE(browser.path().empty());
        EXPECT_EQ(CurrentDirectory(), directoryBefore) << "the current directory is restored";
    }
}

TEST(FolderBrowserValidation, FolderNamesCompareAsTheFileSystemDoes)
{
    EXPECT_TRUE(SameFolderName(L"Ostrel 4", L"OSTREL 4"));
    EXPECT_TRUE(SameFolderName(L"\u00d6FFENTLICH", L"\u00f6ffentlich"));
    EXPECT_FALSE(SameFolderName(L"Ostrel 4", L"Ostrel 5"));
    EXPECT_FALSE(SameFolderName(L"STRASSE", L"stra\u00dfe")) << "ordinal, not linguistic";

    const std::wstring path = L"C:\\Users\\\u00d6FFENTLICH";
    EXPECT_EQ(TrailingMatch(path, L"\u00f6ffentlich", &SameFolderName), 1u);
    EXPECT_EQ(AppendSubFolder(path, L"\u00f6ffentlich", &SameFolderName), path);
    EXPECT_EQ(BaseOfPath(path, L"\u00f6ffentlich", &SameFolderName), L"C:\\Users");
}

TEST(FolderBrowserDialog, SelectedFolderGetsTheSubFolderOnce)
{
    const DialogTestLock lock;
    const TestFolder scratch(DialogTestsFolder() + L"\\" + testsupport::UniqueName(L"browse"));
    const std::wstring& base = scratch.path;
    const struct {
        std::wstring chosen;
        std::wstring shown;
        std::wstring base;
    } cases[] = {
        {MakeFolder(base + L"\\Apps"), base + L"\\Apps\\Ostrel 4", base + L"\\Apps"},
        // Not beside the starting folder's Ostrel 4, which would then exist and be selected.
        {MakeFolder(MakeFolder(base + L"\\Other") + L"\\ostrel 4"), base + L"\\Other\\ostrel 4", base + L"\\Other"},
    };
    for (const auto& c : cases)
        testsupport::SettleFolderTimes(c.chosen);
    for (const auto& c : cases) {
        const std::wstring title = testsupport::UniqueName(L"Choose a folder ");
        std::wstring baseFolder = base;
        std::optional<std::wstring> initialText;
        std::optional<std::wstring> shownText;
        const DialogRun run = BrowseWhileDriving(
            title, [&] { return BrowseForFolder(baseFolder, L"Ostrel 4", title); },
            [&](HWND dialog) {
                initialText = testsupport::WaitForEditText(dialog, base + L"\\Ostrel 4");
                if (!testsupport::SelectFolder(dialog, c.chosen))
                    return false;
                shownText = testsupport::WaitForEditText(dialog, c.shown);
                return shownText == c.shown;
            });
        ASSERT_TRUE(run.dialogShown);
        EXPECT_FALSE(run.messageBox.has_value()) << testing::PrintToString(run.messageBox ? run.messageBox->text : L"");
        EXPECT_EQ(initialText, base + L"\\Ostrel 4") << "the starting folder with the sub-folder";
        EXPECT_EQ(shownText, c.shown);
        if (testsupport::RunningUnderWine())
            EXPECT_EQ(run.result, c.chosen) << "Wine returns the tree's selection and never validates the edit box";
        else
            EXPECT_EQ(run.result, c.shown) << "the edit box's folder, accepted by the validation";
        EXPECT_EQ(baseFolder, c.base);
    }
}

TEST(FolderBrowserDialog, StartingFolderThatDoesNotExistYetOpensOnItsNearestAncestor)
{
    const DialogTestLock lock;
    const TestFolder scratch(DialogTestsFolder() + L"\\" + testsupport::UniqueName(L"browse"));
    const std::wstring& root = scratch.path;
    testsupport::SettleFolderTimes(MakeFolder(root + L"\\Other"));
    MakeFolder(root + L"\\Vantor & Lind");
    testsupport::SettleFolderTimes(MakeFolder(root + L"\\Vantor & Lind\\Other"));
    const struct {
        std::wstring start;
        std::wstring subFolder;
        std::wstring ancestorName;
    } cases[] = {
        {root + L"\\Vantor & Lind\\Ostrel 4", L"Ostrel 4", L"Vantor & Lind"},
        {root + L"\\Vantor & Lind\\Ostrel 4", L"Vantor & Lind\\Ostrel 4", L"Vantor & Lind"},
        // Deeper below the ancestor than the sub-folder reaches: still shown whole.
        {root + L"\\Deep\\Vantor & Lind\\Ostrel 4", L"Vantor & Lind\\Ostrel 4", ::PathFindFileNameW(root.c_str())},
    };
    for (const auto& c : cases) {
        const std::wstring title = testsupport::UniqueName(L"Choose a folder ");
        std::wstring baseFolder = c.start;
        std::optional<std::wstring> shownText;
        std::optional<testsupport::TreeSelection> selection;
        const DialogRun run = BrowseWhileDriving(
            title, [&] { return BrowseForFolder(baseFolder, c.subFolder, title); },
            [&](HWND dialog) {
                shownText = testsupport::WaitForEditText(dialog, c.start);
                selection = testsupport::SelectedTreeItem(dialog);
                return false;
            });
        ASSERT_TRUE(run.dialogShown);
        EXPECT_EQ(shownText, c.start) << "the edit box shows the whole starting folder";
        ASSERT_TRUE(selection.has_value());
        EXPECT_EQ(selection->text, c.ancestorName) << "the nearest existing ancestor is selected";
        if (testsupport::RunningUnderWine())
            std::printf("Skipped: Wine's BFFM_SETEXPANDED expands the folder's ancestors, never the folder\n");
        else
            EXPECT_TRUE(selection->expanded) << "and expanded";
        EXPECT_TRUE(run.result.empty()) << "cancelled";
        EXPECT_EQ(baseFolder, c.start) << "cancelling leaves the base folder";
    }
}

TEST(FolderBrowserDialog, StartingPointsAndSubFoldersThatCannotBeUsedAsGiven)
{
    const DialogTestLock lock;
    const std::wstring documents = SpecialFolder(CSIDL_PERSONAL);
    // A fresh prefix's Documents has never been read: settle it before the tree reads it.
    testsupport::SettleFolderTimes(documents);
    const struct {
        std::wstring start;
        std::wstring subFolder;
        std::optional<std::wstring> shown; // nothing: no edit box
        const char* why;
    } cases[] = {
        {L"C:", L"Ostrel 4", L"C:\\Ostrel 4", "a drive starts at its root"},
        {L"Apps\\Ostrel 4", L"Ostrel 4", documents + L"\\Ostrel 4", "a relative start is discarded for Documents"},
        {L"", L"Ostrel 4", documents + L"\\Ostrel 4", "no start is Documents"},
        {L"C:\\", L"Ostrel*", std::nullopt, "a sub-folder with a wildcard is no sub-folder"},
    };
    for (const auto& c : cases) {
        const std::wstring title = testsupport::UniqueName(L"Choose a folder ");
        std::wstring baseFolder = c.start;
        std::optional<std::wstring> shown;
        bool hasEditBox = false;
        const DialogRun run = BrowseWhileDriving(
            title, [&] { return BrowseForFolder(baseFolder, c.subFolder, title); },
            [&](HWND dialog) {
                hasEditBox = testsupport::FolderDialogEditBox(dialog) != nullptr &&
                             ::IsWindowVisible(testsupport::FolderDialogEditBox(dialog));
                if (c.shown)
                    shown = testsupport::WaitForEditText(dialog, *c.shown);
                return false; // cancelled: nothing changes
            });
        ASSERT_TRUE(run.dialogShown) << c.why;
        EXPECT_EQ(hasEditBox, c.shown.has_value()) << c.why;
        if (c.shown) {
            EXPECT_EQ(shown, c.shown) << c.why;
        }
        EXPECT_TRUE(run.result.empty()) << c.why;
        EXPECT_EQ(baseFolder, c.start) << c.why << ": a cancelled browse leaves the base folder";
    }
}

TEST(FolderBrowserDialog, MenuFolderIsShownAndGivenRelativeToTheStartMenu)
{
    const std::wstring startMenu = SpecialFolder(CSIDL_COMMON_STARTMENU);
    const std::wstring programs = SpecialFolder(CSIDL_COMMON_PROGRAMS);
    const std::wstring programsName = ::PathFindFileNameW(programs.c_str());
    const DialogTestLock lock;
    const TestFolder folder(SpecialFolder(CSIDL_COMMON_PROGRAMS) + L"\\" + testsupport::UniqueName(L"Browse test "));
    testsupport::SettleFolderTimes(folder.path);
    const std::wstring folderName = ::PathFindFileNameW(folder.path.c_str());

    const std::wstring title = testsupport::UniqueName(L"Choose a menu folder ");
    std::wstring baseFolder;
    std::wstring relative = L"unchanged";
    std::optional<std::wstring> initialText;
    std::optional<std::wstring> shownText;
    const std::wstring shown = programsName + L"\\" + folderName + L"\\Ostrel 4";
    const DialogRun run = BrowseWhileDriving(
        title, [&] { return BrowseForMenuFolder(baseFolder, L"Ostrel 4", title, &relative); },
        [&](HWND dialog) {
            initialText = testsupport::WaitForEditText(dialog, programsName + L"\\Ostrel 4");
            if (!testsupport::SelectFolder(dialog, folder.path))
                return false;
            shownText = testsupport::WaitForEditText(dialog, shown);
            return shownText == shown;
        });
    ASSERT_TRUE(run.dialogShown);
    EXPECT_FALSE(run.messageBox.has_value()) << testing::PrintToString(run.messageBox ? run.messageBox->text : L"");
    EXPECT_EQ(initialText, programsName + L"\\Ostrel 4") << "no starting folder: the root with the sub-folder";
    EXPECT_EQ(shownText, shown);
    if (testsupport::RunningUnderWine()) {
        // Wine returns the tree's selection and never validates the edit box.
        EXPECT_EQ(run.result, folder.path);
        EXPECT_EQ(relative, programsName + L"\\" + folderName);
    } else {
        EXPECT_EQ(run.result, startMenu + L"\\" + shown);
        EXPECT_EQ(relative, shown);
    }
    EXPECT_EQ(baseFolder, folder.path);
}

TEST(FolderBrowserDialog, WithoutSubFolderOkFollowsTheFileSystem)
{
    const DialogTestLock lock;
    const TestFolder scratch(DialogTestsFolder() + L"\\" + testsupport::UniqueName(L"browse"));
    const std::wstring& base = scratch.path;
    const std::wstring chosen = MakeFolder(base + L"\\Apps");
    testsupport::SettleFolderTimes(chosen);
    vt::unique_pidl computer;
    ASSERT_EQ(::SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, computer.put()), S_OK);

    const std::wstring title = testsupport::UniqueName(L"Choose a folder ");
    std::wstring baseFolder = base;
    bool editShown = true;
    bool okDisabledOnComputer = false;
    bool okEnabledOnFolder = false;
    const DialogRun run = BrowseWhileDriving(
        title, [&] { return BrowseForFolder(baseFolder, L"", title); },
        [&](HWND dialog) {
            HWND edit = testsupport::FolderDialogEditBox(dialog);
            editShown = edit != nullptr && ::IsWindowVisible(edit);
            okDisabledOnComputer = testsupport::SelectItem(dialog, computer.get()) &&
                                   testsupport::WaitForOkEnabled(dialog, false);
            okEnabledOnFolder = testsupport::SelectFolder(dialog, chosen) && testsupport::WaitForOkEnabled(dialog, true);
            return okEnabledOnFolder;
        });
    ASSERT_TRUE(run.dialogShown);
    EXPECT_FALSE(editShown) << "no edit box without a sub-folder";
    EXPECT_TRUE(okDisabledOnComputer) << "the computer node has no file-system path";
    EXPECT_TRUE(okEnabledOnFolder);
    EXPECT_EQ(run.result, chosen);
    EXPECT_EQ(baseFolder, chosen) << "nothing to take off without a sub-folder";
}

TEST(FolderBrowserDialog, ComIsInitializedForTheCallOnly)
{
    const DialogTestLock lock;
    const TestFolder scratch(DialogTestsFolder() + L"\\" + testsupport::UniqueName(L"browse"));
    const std::wstring& base = scratch.path;
    testsupport::SettleFolderTimes(base);
    const struct {
        std::optional<DWORD> model; // the thread's COM before the call
        bool dialogShown;
        HRESULT afterwards;         // CoInitializeEx in that model after the call
        const char* why;
    } cases[] = {
        {std::nullopt, true, S_OK, "a thread without COM has none afterwards"},
        {COINIT_APARTMENTTHREADED, true, S_FALSE, "the caller's initialization stays"},
        // The new-style dialog fails in the multithreaded model: an error, and the caller's
        // initialization stays.
        {COINIT_MULTITHREADED, false, S_FALSE, "a multithreaded thread gets the error"},
    };
    for (const auto& c : cases) {
        const std::wstring title = testsupport::UniqueName(L"Choose a folder ");
        std::wstring baseFolder = base;
        DialogRun run;
        HRESULT afterwards = E_FAIL;
        std::thread([&] {
            const HRESULT before = c.model ? ::CoInitializeEx(nullptr, *c.model) : E_FAIL;
            run = BrowseWhileDriving(
                title, [&] { return BrowseForFolder(baseFolder, L"Ostrel 4", title); }, [](HWND) { return false; });
            afterwards = ::CoInitializeEx(nullptr, c.model.value_or(COINIT_APARTMENTTHREADED));
            if (SUCCEEDED(afterwards))
                ::CoUninitialize();
            if (SUCCEEDED(before))
                ::CoUninitialize();
        }).join();
        EXPECT_EQ(run.dialogShown, c.dialogShown) << c.why;
        EXPECT_TRUE(run.result.empty()) << c.why;
        EXPECT_EQ(baseFolder, base) << c.why << ": cancelling leaves the base folder";
        EXPECT_EQ(afterwards, c.afterwards) << c.why;
        if (c.dialogShown) {
            EXPECT_FALSE(run.messageBox.has_value()) << c.why;
        } else {
            ASSERT_TRUE(run.messageBox.has_value()) << c.why;
            EXPECT_EQ(run.messageBox->text, SystemText(static_cast<DWORD>(RPC_E_CHANGED_MODE))) << c.why;
        }
    }
}
