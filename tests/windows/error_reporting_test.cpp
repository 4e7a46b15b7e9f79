#include "app/languages.h"
#include "framework/win_app.h"
#include "framework/window.h"
#include "support/app_services.h"
#include "support/error_text.h"
#include "support/message_box.h"
#include "support/resource_lookup.h"
#include "tests/support/child_process.h"
#include "tests/support/message_box_watcher.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>
#include <utility>
#include <vector>

namespace {

bool EndsWithLineBreak(const std::wstring& text)
{
    return !text.empty() && (text.back() == L'\r' || text.back() == L'\n');
}

// Replaces the application services for one test and puts the previous ones back.
class ServicesOverride {
public:
    ServicesOverride() : m_saved(GetAppServices()) {}
    ~ServicesOverride() { GetAppServices() = m_saved; }

private:
    AppServices m_saved;
};

// A plain captioned top-level window of the test, destroyed with the object.
class TestWindow {
public:
    explicit TestWindow(HWND owner = nullptr, DWORD style = WS_OVERLAPPEDWINDOW, DWORD exStyle = 0)
        : m_window(::CreateWindowExW(exStyle, L"STATIC", L"test window", style, 0, 0, 200, 100, owner, nullptr,
                                     nullptr, nullptr))
    {
    }
    ~TestWindow() { ::DestroyWindow(m_window); }
    HWND get() const { return m_window; }

private:
    HWND m_window;
};

} // namespace

TEST(SystemErrorText, HasNoTrailingLineBreaks)
{
    // The system's texts end in a line break (Wine's all do).
    for (DWORD code : {DWORD{ERROR_BUSY}, DWORD{ERROR_FILE_NOT_FOUND}, DWORD{ERROR_SHARING_VIOLATION},
                       static_cast<DWORD>(E_FAIL), static_cast<DWORD>(E_ACCESSDENIED)}) {
        const std::wstring text = system_error_text(code);
        EXPECT_FALSE(text.empty()) << code;
        EXPECT_FALSE(EndsWithLineBreak(text)) << code;
    }
}

TEST(SystemErrorText, EveryTrailingLineBreakGoes)
{
    const std::pair<std::wstring, std::wstring> cases[] = {
        {L"a\r\n", L"a"}, {L"a\r\n\r\n", L"a"}, {L"a\n\r\r", L"a"},
        {L"two\r\nlines\r\n", L"two\r\nlines"}, {L"\r\n", L""}, {L"", L""}, {L"none", L"none"},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(without_trailing_line_breaks(text), expected) << testing::PrintToString(text);
}

TEST(SystemErrorText, FallsBackToTheTextOfEFail)
{
    const std::wstring fail = system_error_text(static_cast<DWORD>(E_FAIL));
    ASSERT_FALSE(fail.empty());
    EXPECT_NE(fail, L"Error") << "the system has a text for E_FAIL";
    EXPECT_EQ(system_error_text(0xE0DE1234), fail) << "a code the system does not know";
    // A language the message table lacks (error 1815) gives the system's choice of language.
    EXPECT_EQ(system_error_text(ERROR_BUSY, 0x0436), system_error_text(ERROR_BUSY, 0));
}

TEST(HresultText, StringIdCodesCarryTheirText)
{
    const std::wstring fail = system_error_text(static_cast<DWORD>(E_FAIL));
    struct Case {
        DWORD code;
        std::wstring expected;
        const char* why;
    };
    const Case cases[] = {
        {MakeStringIdCode(1000), L"Installeur", "bits 29 and 27 with an existing string"},
        {0x28000000 | 2006, L"Next", "the severity bit does not matter"},
        {MakeStringIdCode(1128), fail, "bits 29 and 27 with a missing string"},
        {0xA0000000 | 1000, fail, "bit 29 without bit 27"},
        {ERROR_BUSY, system_error_text(ERROR_BUSY), "a system code"},
        // Wine has no text for E_UNEXPECTED and gives E_FAIL's: there this row only checks that
        // the code goes to the system unchanged; on Windows it reads "Catastrophic failure".
        {0x8000FFFF, system_error_text(0x8000FFFF), "E_UNEXPECTED"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(hresult_text(c.code), c.expected) << c.why;
        EXPECT_FALSE(hresult_text(c.code).empty()) << c.why;
    }
}

TEST(RawResources, StringsAndDataById)
{
    EXPECT_EQ(load_resource_string(1000), L"Installeur");
    EXPECT_EQ(load_resource_string(3006), L"Weiter");
    EXPECT_EQ(load_resource_string(1128), L"") << "an id inside an existing block";
    EXPECT_EQ(load_resource_string(60000), L"") << "an id in a missing block";

    const auto version = find_resource_data(RT_VERSION, MAKEINTRESOURCEW(1));
    ASSERT_TRUE(version.has_value());
    EXPECT_GT(version->size(), sizeof(VS_FIXEDFILEINFO));
    EXPECT_FALSE(find_resource_data(RT_RCDATA, MAKEINTRESOURCEW(4242)).has_value());
}

TEST(RawResources, TheLanguagesModuleComesFirstThenTheProgram)
{
    const std::wstring path = (std::filesystem::path(testsupport::ProgramFolder()) / L"prerelease_fixture.exe").wstring();
    vt::unique_hmodule module(::LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    ASSERT_TRUE(module);
    LanguageState& state = GetLanguageState();
    const HMODULE previous = state.resourceModule;
    state.resourceModule = module.get();
    EXPECT_EQ(load_resource_string(1000), L"Texte du module") << "the module's own string wins";
    EXPECT_EQ(load_resource_string(1001), L"OK") << "a string the module lacks comes from the program";
    EXPECT_EQ(load_resource_string(1128), L"") << "missing in both";
    const auto version = find_resource_data(RT_VERSION, MAKEINTRESOURCEW(1));
    ASSERT_TRUE(version.has_value());
    EXPECT_NE(std::wstring(reinterpret_cast<const wchar_t*>(version->data()), version->size() / 2)
                  .find(L"Fixture b\u00eata"),
              std::wstring::npos)
        << "the module's version resource, not the program's";
    EXPECT_TRUE(find_resource_data(RT_STRING, MAKEINTRESOURCEW(1006 / 16 + 1)).has_value()) << "from the program";
    state.resourceModule = previous;
}

TEST(MessageBoxType, IconAndReadingOrderRules)
{
    struct Case {
        UINT type;
        bool rightToLeft;
        UINT expected;
    };
    const Case cases[] = {
        {MB_OK, false, MB_OK | MB_ICONWARNING},
        {MB_OKCANCEL, false, MB_OKCANCEL | MB_ICONWARNING},
        {MB_YESNOCANCEL, false, MB_YESNOCANCEL | MB_ICONQUESTION},
        {MB_YESNO, false, MB_YESNO | MB_ICONQUESTION},
        {MB_RETRYCANCEL, false, MB_RETRYCANCEL},
        {MB_ABORTRETRYIGNORE, false, MB_ABORTRETRYIGNORE},
        {MB_OK | MB_ICONINFORMATION, false, MB_OK | MB_ICONINFORMATION},
        {MB_YESNO | MB_ICONEXCLAMATION, false, MB_YESNO | MB_ICONEXCLAMATION},
        {MB_OK, true, MB_OK | MB_ICONWARNING | MB_RTLREADING},
        {MB_RETRYCANCEL | MB_TASKMODAL, true, MB_RETRYCANCEL | MB_TASKMODAL | MB_RTLREADING},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MessageBoxType(c.type, c.rightToLeft), c.expected) << std::hex << "type 0x" << c.type;
}

TEST(MessageBoxes, OwnerCaptionAndModalStateFromTheServices)
{
    ServicesOverride restore;
    TestWindow top;
    TestWindow owner(top.get());
    ::EnableWindow(top.get(), FALSE);  // as the owner provider leaves it
    ::EnableWindow(owner.get(), FALSE); // the box must enable its owner
    std::vector<bool> modalCalls;
    AppServices& services = GetAppServices();
    services.owner = [&] { return OwnerWindows{owner.get(), top.get()}; };
    services.modalState = [&](bool enable) { modalCalls.push_back(enable); };
    services.caption = [] { return std::wstring(L"Caption from the services"); };

    testsupport::MessageBoxWatcher watcher(IDNO);
    EXPECT_EQ(message_box(L"Proceed?", MB_YESNO), IDNO);
    const auto& box = watcher.Seen();
    ASSERT_TRUE(box.has_value());
    EXPECT_EQ(box->caption, L"Caption from the services");
    EXPECT_EQ(box->text, L"Proceed?");
    EXPECT_EQ(box->owner, owner.get());
    EXPECT_EQ(box->icon, ::LoadIconW(nullptr, IDI_QUESTION));
    EXPECT_EQ(modalCalls, (std::vector<bool>{false, true}));
    EXPECT_TRUE(::IsWindowEnabled(top.get())) << "the top-level window is enabled again";
    EXPECT_TRUE(::IsWindowEnabled(owner.get())) << "the owner is enabled, so that the focus returns to it";
}

TEST(MessageBoxes, ModalStateIsRestoredWhenShowingFails)
{
    ServicesOverride restore;
    TestWindow top;
    TestWindow owner(top.get());
    ::EnableWindow(top.get(), FALSE);
    std::vector<bool> modalCalls;
    AppServices& services = GetAppServices();
    services.owner = [&] { return OwnerWindows{owner.get(), top.get()}; };
    services.modalState = [&](bool enable) { modalCalls.push_back(enable); };
    services.caption = []() -> std::wstring { throw std::runtime_error("no caption"); };

    EXPECT_THROW(message_box(L"never shown", MB_OK), std::runtime_error);
    EXPECT_EQ(modalCalls, (std::vector<bool>{false, true}));
    EXPECT_TRUE(::IsWindowEnabled(top.get()));
}

TEST(MessageBoxes, ReadingOrderFollowsTheOwnersLayout)
{
    TestWindow rightToLeft(nullptr, WS_OVERLAPPEDWINDOW, WS_EX_LAYOUTRTL);
    TestWindow leftToRight;
    EXPECT_TRUE(ReadsRightToLeft(rightToLeft.get()));
    EXPECT_FALSE(ReadsRightToLeft(leftToRight.get()));
}

TEST(MessageBoxes, NullTextShowsEmpty)
{
    ServicesOverride restore;
    TestWindow owner;
    GetAppServices().owner = [&] { return OwnerWindows{owner.get(), nullptr}; };

    testsupport::MessageBoxWatcher watcher(IDOK);
    EXPECT_EQ(message_box(static_cast<const wchar_t*>(nullptr), MB_OK), IDOK);
    const auto& box = watcher.Seen();
    ASSERT_TRUE(box.has_value());
    EXPECT_EQ(box->text, L"");
    EXPECT_EQ(box->icon, ::LoadIconW(nullptr, IDI_WARNING)) << "OK boxes get the warning icon";
}

TEST(ErrorBox, ShowsTheCodesTextWithTheWarningIcon)
{
    ServicesOverride restore;
    GetAppServices().owner = nullptr;
    testsupport::MessageBoxWatcher watcher(IDOK);
    error_box(ERROR_BUSY);
    const auto& box = watcher.Seen();
    ASSERT_TRUE(box.has_value());
    EXPECT_EQ(box->text, system_error_text(ERROR_BUSY));
    EXPECT_EQ(box->icon, ::LoadIconW(nullptr, IDI_WARNING));
}

TEST(AppServices, DefaultOwnerIsTheMainWindowsLastActivePopup)
{
    ServicesOverride restore;
    InstallDefaultAppServices();
    CWinApp app;
    TestWindow main;
    ::ShowWindow(main.get(), SW_SHOW);
    CWnd mainWindow;
    mainWindow.m_hWnd = main.get();
    app.m_pMainWnd = &mainWindow;

    OwnerWindows alone = GetAppServices().owner();
    EXPECT_EQ(alone.owner, main.get());
    EXPECT_EQ(alone.topLevel, nullptr) << "the owner itself is not disabled for the box";

    TestWindow popup(main.get(), WS_POPUP | WS_CAPTION | WS_VISIBLE);
    ::SetActiveWindow(popup.get());
    OwnerWindows withPopup = GetAppServices().owner();
    EXPECT_EQ(withPopup.owner, popup.get());
    EXPECT_EQ(withPopup.topLevel, main.get());
    EXPECT_FALSE(::IsWindowEnabled(main.get())) << "the main window waits disabled while the pop-up owns the box";
    ::EnableWindow(main.get(), TRUE);
    app.m_pMainWnd = nullptr;
}

TEST(OwnerWindow, ActiveWindowsRootOwnersLastActivePopup)
{
    EXPECT_EQ(owner_window(), nullptr) << "no window of this thread";
    {
        TestWindow plain(nullptr, WS_POPUP);
        EXPECT_EQ(owner_window(), nullptr) << "a window without caption does not own boxes";
    }
    TestWindow main;
    ::ShowWindow(main.get(), SW_SHOW);
    ::SetActiveWindow(main.get());
    EXPECT_EQ(owner_window(), main.get());
    TestWindow popup(main.get(), WS_POPUP | WS_CAPTION | WS_VISIBLE);
    ::SetActiveWindow(popup.get());
    EXPECT_EQ(owner_window(), popup.get()) << "the root owner's last active pop-up";
}
