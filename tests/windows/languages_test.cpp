#include "app/install_app.h"
#include "app/languages.h"
#include "app/localized_window.h"
#include "framework/window.h"
#include "support/message_box.h"
#include "support/resource_lookup.h"
#include "tests/support/child_process.h"
#include "tests/support/message_box_watcher.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <string>

namespace {

// Every test leaves the process language as it found it.
class Languages : public testing::Test {
protected:
    void SetUp() override { m_previous = GetLanguageState().index; }
    void TearDown() override { SetLanguage(m_previous); }

private:
    int m_previous = 0;
};

const std::vector<unsigned> kTextNumbers = [] {
    std::vector<unsigned> numbers;
    for (unsigned n = 0; n <= 129; ++n)
        if (n <= 18 || (n >= 100 && n != 116 && n != 128))
            numbers.push_back(n);
    return numbers;
}();

std::string RuntimeLocale(int category)
{
    const char* name = std::setlocale(category, nullptr);
    return name != nullptr ? name : "";
}

} // namespace

TEST_F(Languages, TheRuntimeLocaleFollowsTheLanguageButNotForNumbers)
{
    SetLanguage(kFrench);
    SetLanguage(kGerman);
    for (int category : {LC_CTYPE, LC_COLLATE, LC_TIME})
        EXPECT_EQ(RuntimeLocale(category), "German_Germany.1252") << "category " << category;
    EXPECT_EQ(RuntimeLocale(LC_NUMERIC), "C");
    EXPECT_EQ(RuntimeLocale(LC_MONETARY), "C");
}

TEST(LanguageLocale, TheUsersOwnLocaleWhenTheLanguageIsTheSame)
{
    struct Case {
        int language;
        std::uint32_t userLcid;
        const wchar_t* userLocaleName;
        std::string name;
        std::string runtimeName;
    };
    const Case cases[] = {
        // French (Canada) has another language identifier than the table's French: the LCID is
        // the table's, the locale the user's own.
        {kFrench, 0x0C0C, L"fr-CA", "fr-CA", "French_Canada.1252"},
        {kFrench, 0x0409, L"en-US", "fr-FR", "French_France.1252"},
        {kGerman, 0x0C07, L"de-AT", "de-AT", "German_Austria.1252"},
        {kEnglish, 0x0407, L"de-DE", "en-US", "English_United States.1252"},
        {kHebrew, 0x0409, L"en-US", "he-IL", "Hebrew_Israel.1255"},
    };
    for (const Case& c : cases) {
        const AppliedLocale locale = LocaleToApply(c.language, c.userLcid, c.userLocaleName);
        EXPECT_EQ(locale.name, c.name) << "language " << c.language << ", user " << std::hex << c.userLcid;
        EXPECT_EQ(locale.runtimeName, c.runtimeName) << "language " << c.language << ", user " << std::hex << c.userLcid;
    }
}

TEST_F(Languages, TranslatedBlocksGiveTheirOwnTexts)
{
    struct Case {
        int language;
        unsigned frenchId;
        std::wstring expected;
    };
    const Case cases[] = {
        {kFrench, 1006, L"Suivant"},
        {kFrench, 1112, L"Créer un raccourci dans le menu suivant\u00a0:"},
        {kEnglish, 1006, L"Next"},
        {kEnglish, 1115, L"Copying File  %1..."},
        {kGerman, 1006, L"Weiter"},
        {kGerman, 1126, L"Für die Installation sind Administratorrechte auf diesem Computer erforderlich."},
        {kSpanish, 1002, L"Cancelar"},
        {kSpanish, 1104, L"¿Confirma la reinstalación?"},
        {4, 1004, L"Sair"},              // Portuguese
        {7, 1005, L"Geri"},              // Turkish
        {9, 1000, L"Program de instalare"}, // Romanian
        {11, 1002, L"Annulla"},          // Italian
        // Dutch has no installer texts (its block is mostly "#"): English.
        {5, 1014, L"Select Installation Langage"},
        {5, 1006, L"Next"},
    };
    for (const Case& c : cases) {
        SetLanguage(c.language);
        EXPECT_EQ(LoadLocalized(c.frenchId), c.expected) << "language " << c.language << ", id " << c.frenchId;
    }
}

TEST_F(Languages, UntranslatedTextsFallBackToEnglishThenFrench)
{
    SetLanguage(kGerman);
    EXPECT_EQ(LoadLocalized(1150), L"Test text") << "German \"#\" shows the English text";
    EXPECT_EQ(LoadLocalized(1151), L"Seulement en français") << "German and English \"#\": French";
    SetLanguage(kEnglish);
    EXPECT_EQ(LocalizedId(1151), 1151u);
    EXPECT_EQ(LoadLocalized(1151), L"Seulement en français");
    // A missing text loads empty and does not fall back.
    for (int language : {kFrench, kEnglish, kGerman}) {
        SetLanguage(language);
        EXPECT_EQ(LoadLocalized(1128), L"") << "language " << language;
        EXPECT_EQ(LoadLocalized(1116), L"") << "language " << language;
    }
}

TEST_F(Languages, EveryInstallerLanguageTranslatesEveryText)
{
    for (int language = 0; language < kLanguageCount; ++language) {
        const LanguageInfo& info = GetLanguageInfo(language);
        for (unsigned number : kTextNumbers) {
            const std::wstring text = load_resource_string(info.blockBase + number);
            EXPECT_FALSE(text.empty()) << "language " << language << " lacks text " << number;
            if (info.installerTexts) {
                EXPECT_NE(text, L"#") << "language " << language << " leaves text " << number << " untranslated";
            }
        }
    }
}

TEST_F(Languages, InstallerTitle)
{
    SetLanguage(kEnglish);
    EXPECT_EQ(GetInstallerTitle(false), L"Installer");
    EXPECT_EQ(GetInstallerTitle(true), L"Installer \u2013 Ostrel 4.05");
    SetLanguage(kGerman);
    EXPECT_EQ(GetInstallerTitle(false), L"Installationsprogramm");
    EXPECT_EQ(GetInstallerTitle(true), L"Installationsprogramm \u2013 Ostrel 4.05");
    SetLanguage(kFrench);
    EXPECT_EQ(GetInstallerTitle(true), L"Installeur \u2013 Ostrel 4.05");
}

TEST_F(Languages, DisplayNamesStartWithACapital)
{
    // The system gives "français" and "español" in lower case.
    const std::wstring expected[] = {L"Français", L"English", L"Deutsch", L"Español"};
    for (int language = 0; language < 4; ++language)
        EXPECT_EQ(LanguageDisplayName(language), expected[language]) << "language " << language;
}

TEST_F(Languages, SetLanguageRecordsLcidAndCodePageAndForgetsTheResourceModule)
{
    GetLanguageState().resourceModule = ::GetModuleHandleW(L"kernel32.dll");
    SetLanguage(kGerman);
    const LanguageState& state = GetLanguageState();
    EXPECT_EQ(state.index, kGerman);
    EXPECT_EQ(state.lcid & 0xFFFF, 1031u);
    EXPECT_EQ(state.codePage, 1252u);
    EXPECT_EQ(state.resourceModule, nullptr);
    SetLanguage(kHebrew);
    EXPECT_EQ(GetLanguageState().codePage, 1255u);
}

TEST_F(Languages, RightToLeftComesFromTheFontSignature)
{
    EXPECT_TRUE(IsRightToLeft(kHebrew));
    for (int language : {kFrench, kEnglish, kGerman, kSpanish, 18})
        EXPECT_FALSE(IsRightToLeft(language)) << "language " << language;
}

namespace {

struct FakeWizard : CWnd, LocalizedWindow {
    void UpdateAllTexts() override { titles.push_back(GetInstallerTitle(true)); }
    std::vector<std::wstring> titles;
};

} // namespace

TEST_F(Languages, ChangeLanguageRelabelsTheMainWindow)
{
    CInstallApp app;
    FakeWizard wizard;
    app.m_pMainWnd = &wizard;

    app.ChangeLanguage(kGerman);
    EXPECT_EQ(GetLanguageState().index, kGerman);
    EXPECT_STREQ(app.m_pszAppName, L"Installationsprogramm \u2013 Ostrel 4.05");
    ASSERT_EQ(wizard.titles.size(), 1u);
    EXPECT_EQ(wizard.titles[0], L"Installationsprogramm \u2013 Ostrel 4.05") << "asked after the language changed";
    app.m_pMainWnd = nullptr;
}

TEST_F(Languages, ALanguageWithoutInstallerTextsLeavesTheInstallerInEnglish)
{
    CInstallApp app;
    FakeWizard wizard;
    app.m_pMainWnd = &wizard;
    SetLanguage(kGerman);

    testsupport::MessageBoxWatcher watcher(IDOK);
    app.ChangeLanguage(5); // Dutch
    const auto& box = watcher.Seen();
    ASSERT_TRUE(box.has_value()) << "no message box about the untranslated installer";
    EXPECT_EQ(box->text, L"'Ostrel' will be installed in the selected Langage, but the Installer, still under "
                         L"translation,  shall run in English.");
    EXPECT_EQ(box->icon, ::LoadIconW(nullptr, IDI_INFORMATION));
    EXPECT_EQ(GetLanguageState().index, kEnglish);
    EXPECT_STREQ(app.m_pszAppName, L"Installer \u2013 Ostrel 4.05");
    EXPECT_EQ(wizard.titles, std::vector<std::wstring>{L"Installer \u2013 Ostrel 4.05"});
    app.m_pMainWnd = nullptr;
}
