// Whole-installer scenarios of the wizard on a machine without the product: the page sequence
// of both methods, the folder and shortcut pages, the exit question and the live language
// switch.
#include "tests/e2e/scenario_steps.h"
#include "tests/e2e/wizard_steps.h"

#include <gtest/gtest.h>

using namespace e2e;

namespace {

const std::wstring kTooLongText = L"Enter no more than 260 characters.";

} // namespace

TEST(Wizard, FastMethodPassesOverTheFolderAndShortcutPages)
{
    auto [installer, wizard] = StartWizard();
    ASSERT_NE(wizard, nullptr);
    ASSERT_EQ(Press(wizard, IDOK), 1);
    EXPECT_TRUE(IsChecked(ActivePage(wizard), kFastMethod)) << "the fast method is the default";
    EXPECT_FALSE(IsChecked(ActivePage(wizard), kCustomMethod));
    ASSERT_EQ(Press(wizard, IDOK), 4) << "Next from the method page goes straight to the installation";
    EXPECT_EQ(Utf8(ControlText(wizard, IDOK)), "Install");
    EXPECT_TRUE(IsControlEnabled(wizard, kBackButton));
    EXPECT_EQ(Press(wizard, kBackButton), 1) << "and Back comes straight back";
    EXPECT_EQ(Press(wizard, kBackButton), 0);
    EXPECT_FALSE(IsControlEnabled(wizard, kBackButton)) << "nothing before the start page";
    ExitWizard(installer, wizard);
}

TEST(Wizard, CustomMethodWalksEveryPageBothWays)
{
    auto [installer, wizard] = StartWizard();
    ASSERT_NE(wizard, nullptr);
    ASSERT_EQ(Press(wizard, IDOK), 1);
    ChooseMethod(ActivePage(wizard), true);
    for (int page : {2, 3, 4}) {
        ASSERT_EQ(Press(wizard, IDOK), page);
        EXPECT_EQ(Utf8(ControlText(wizard, IDOK)), page == 4 ? "Install" : "Next  >") << "page " << page;
        EXPECT_EQ(Utf8(ControlText(wizard, kBackButton)), "<  Back");
        EXPECT_EQ(Utf8(ControlText(wizard, IDCANCEL)), "Cancel");
    }
    for (int page : {3, 2, 1, 0})
        ASSERT_EQ(Press(wizard, kBackButton), page);

    // The method page shows what it stored; switching back to fast skips again.
    ASSERT_EQ(Press(wizard, IDOK), 1);
    EXPECT_TRUE(IsChecked(ActivePage(wizard), kCustomMethod));
    ChooseMethod(ActivePage(wizard), false);
    EXPECT_EQ(Press(wizard, IDOK), 4);
    ExitWizard(installer, wizard);
}

TEST(Wizard, FolderPageRefusesMoreThan260CharactersInBothDirections)
{
    auto [installer, wizard] = StartWizard();
    ASSERT_NE(wizard, nullptr);
    ASSERT_TRUE(WalkCustomMethodTo(wizard, 2));
    HWND page = ActivePage(wizard);
    EXPECT_EQ(ControlText(page, kFolderEdit), kDefaultInstallFolder);
    EXPECT_TRUE(IsControlEnabled(page, kBrowseButton));
    EXPECT_TRUE(IsControlEnabled(page, kFolderPrompt));

    const std::wstring tooLong = L"C:\\" + std::wstring(258, L'x');
    ASSERT_EQ(tooLong.size(), 261u);
    SetControlText(page, kFolderEdit, tooLong);
    for (int button : {IDOK, kBackButton}) {
        Click(wizard, button);
        HWND box = WaitForMessageBox(installer.id());
        ASSERT_NE(box, nullptr) << "button " << button;
        EXPECT_EQ(Utf8(MessageBoxText(box)), Utf8(kTooLongText));
        EXPECT_EQ(Utf8(WindowText(box)), Utf8(kWizardCaption));
        Click(box, IDOK);
        ASSERT_TRUE(WaitUntilGone(box));
        EXPECT_EQ(CurrentPage(wizard), 2) << "the folder page keeps the wizard, button " << button;
    }

    // Exactly 260 characters pass, as typed: no sub-folder is added.
    const std::wstring longest = L"D:\\" + std::wstring(257, L'y');
    SetControlText(page, kFolderEdit, longest);
    ASSERT_EQ(Press(wizard, IDOK), 3);
    ASSERT_EQ(Press(wizard, kBackButton), 2);
    EXPECT_EQ(ControlText(ActivePage(wizard), kFolderEdit), longest) << "the page shows what it stored";
    ExitWizard(installer, wizard);
}

TEST(Wizard, ShortcutPageDefaultsAndTheMenuCheckBox)
{
    auto [installer, wizard] = StartWizard();
    ASSERT_NE(wizard, nullptr);
    ASSERT_TRUE(WalkCustomMethodTo(wizard, 3));
    HWND page = ActivePage(wizard);
    EXPECT_TRUE(IsChecked(page, kMenuShortcut));
    EXPECT_TRUE(IsChecked(page, kDesktopShortcut));
    EXPECT_EQ(ControlText(page, kFolderEdit), kDefaultMenuText);
    EXPECT_TRUE(::GetWindowLongW(::GetDlgItem(page, kFolderEdit), GWL_STYLE) & ES_READONLY) << "not typed into";
    EXPECT_TRUE(IsControlEnabled(page, kFolderEdit));
    EXPECT_TRUE(IsControlEnabled(page, kBrowseButton));

    SetCheck(page, kMenuShortcut, false);
    WaitForControlEnabled(page, kBrowseButton, false, 5000);
    EXPECT_FALSE(IsControlEnabled(page, kFolderEdit));
    EXPECT_FALSE(IsControlEnabled(page, kBrowseButton));
    SetCheck(page, kDesktopShortcut, false);

    // What the page stored comes back, and reaches the installation summary.
    ASSERT_EQ(Press(wizard, IDOK), 4);
    const std::wstring summary = ControlText(ActivePage(wizard), kInstallLog);
    EXPECT_EQ(summary.find(L"Shortcut"), std::wstring::npos) << Utf8(summary);
    EXPECT_NE(summary.find(L"Installation Folder: \"" + kDefaultInstallFolder + L"\"."),
              std::wstring::npos)
        << Utf8(summary);
    ASSERT_EQ(Press(wizard, kBackButton), 3);
    page = ActivePage(wizard);
    EXPECT_FALSE(IsChecked(page, kMenuShortcut));
    EXPECT_FALSE(IsChecked(page, kDesktopShortcut));
    EXPECT_FALSE(IsControlEnabled(page, kBrowseButton)) << "Browse stays disabled with the check box cleared";
    EXPECT_EQ(ControlText(page, kFolderEdit), kDefaultMenuText) << "the folder is kept";
    ExitWizard(installer, wizard);
}

TEST(Wizard, ExitAsksWhileTheInstallationIsNotDone)
{
    auto [installer, wizard] = StartWizard();
    ASSERT_NE(wizard, nullptr);
    Click(wizard, IDCANCEL);
    HWND box = WaitForMessageBox(installer.id());
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(Utf8(MessageBoxText(box)),
              Utf8(kExitQuestion));
    EXPECT_EQ(Utf8(WindowText(box)), Utf8(kWizardCaption));
    EXPECT_NE(::GetDlgItem(box, IDYES), nullptr);
    EXPECT_NE(::GetDlgItem(box, IDNO), nullptr);
    // The default button shows as such (Wine's boxes do not answer DM_GETDEFID).
    EXPECT_EQ(::GetWindowLongW(::GetDlgItem(box, IDNO), GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON)
        << "No is the default answer";
    Click(box, IDNO);
    ASSERT_TRUE(WaitUntilGone(box));
    EXPECT_FALSE(installer.HasEnded()) << "No stays in the wizard";
    EXPECT_EQ(CurrentPage(wizard), 0);
    ExitWizard(installer, wizard);
}

TEST(Wizard, ChoosingGermanRelabelsEverythingAtOnce)
{
    auto [installer, wizard] = StartWizard();
    ASSERT_NE(wizard, nullptr);
    HWND start = ActivePage(wizard);
    const std::vector<std::wstring> names = ComboItemTexts(start, kLanguageList);
    ASSERT_EQ(names.size(), 4u);
    EXPECT_EQ(Utf8(names[0]), Utf8(L"Français"));
    EXPECT_EQ(names[1], L"English");
    EXPECT_EQ(names[2], L"Deutsch");
    EXPECT_EQ(Utf8(names[3]), Utf8(L"Español"));
    EXPECT_EQ(::SendMessageW(::GetDlgItem(start, kLanguageList), CB_GETCURSEL, 0, 0), 1) << "English selected";

    SelectComboItem(start, kLanguageList, 2);
    const std::wstring germanTitle = L"Installationsprogramm \u2013 Ostrel 4.05";
    ASSERT_NE(WaitForWindow(installer.id(), kDialogClass, germanTitle, 10000), nullptr);
    EXPECT_EQ(Utf8(ControlText(wizard, IDOK)), "Weiter  >");
    EXPECT_EQ(Utf8(ControlText(wizard, kBackButton)), Utf8(L"<  Zurück"));
    EXPECT_EQ(Utf8(ControlText(wizard, IDCANCEL)), "Abbrechen");
    // Every page, shown or not, speaks German already.
    const std::vector<HWND> pages = AllPages(wizard);
    EXPECT_EQ(Utf8(ControlText(pages[0], kStatusLine)), "Klicken Sie auf 'Weiter', um fortzufahren.");
    EXPECT_EQ(Utf8(ControlText(pages[1], kFastMethod)), "Schnellinstallation (empfohlen)");
    EXPECT_EQ(Utf8(ControlText(pages[2], kBrowseButton)), "Durchsuchen...");
    EXPECT_EQ(Utf8(ControlText(pages[3], kDesktopShortcut)), "Eine Verknüpfung auf dem Desktop erstellen.");
    EXPECT_EQ(Utf8(ControlText(pages[4], kStatusLine)), "Klicken Sie auf 'Installieren', um die Installation zu starten.");
    EXPECT_EQ(Utf8(ControlText(pages[5], kStatusLine)), "Klicken Sie auf 'Beenden', um die Installation zu beenden.");
    EXPECT_EQ(ComboItemTexts(start, kLanguageList), names) << "the list keeps the languages' own names";
    EXPECT_EQ(::SendMessageW(::GetDlgItem(start, kLanguageList), CB_GETCURSEL, 0, 0), 2);

    // The about box speaks German too, while its own lines stay the installer's.
    PostSysCommand(wizard, kAboutCommand);
    HWND about = WaitForOwnedDialog(wizard);
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(Utf8(WindowText(about)), Utf8(L"Info über 'Installationsprogramm'"));
    EXPECT_EQ(ControlText(about, 1019), L"Install 2.04");
    EXPECT_EQ(Utf8(ControlText(about, 1020)), Utf8(L"Copyright © 2026 Vantor & Lind"));
    Click(about, IDOK);
    ASSERT_TRUE(WaitUntilGone(about));

    // A later box carries the German title as its caption.
    Click(wizard, IDCANCEL);
    HWND box = WaitForMessageBox(installer.id());
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(Utf8(WindowText(box)), Utf8(germanTitle));
    Click(box, IDYES);
    EXPECT_EQ(installer.WaitForExit(), std::optional<DWORD>(0));
}

TEST(Wizard, EscapeInsideAPageAsksTheWizard)
{
    auto [installer, wizard] = StartWizard();
    ASSERT_NE(wizard, nullptr);
    ASSERT_EQ(Press(wizard, IDOK), 1);
    ASSERT_EQ(Press(wizard, IDOK), 4);
    HWND page = ActivePage(wizard);
    // Escape pressed in the log box, which a multi-line edit answers by closing its dialog: the
    // page, not the wizard.
    ::PostMessageW(::GetDlgItem(page, kInstallLog), WM_KEYDOWN, VK_ESCAPE, 0);
    HWND box = WaitForMessageBox(installer.id());
    ASSERT_NE(box, nullptr) << "the wizard's exit question";
    Click(box, IDNO);
    ASSERT_TRUE(WaitUntilGone(box));
    EXPECT_TRUE(::IsWindowVisible(page)) << "the page is still there";
    EXPECT_EQ(CurrentPage(wizard), 4);
    ExitWizard(installer, wizard);
}
