// Whole-installer scenarios of the start-up language: the user's locale (set for the whole
// scenario by its test registration) and the language a previous installation stored.
#include "tests/e2e/scenario_steps.h"

#include <gtest/gtest.h>

#include <optional>

using namespace e2e;

namespace {

const std::wstring kUninstallKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Ostrel 4";
const std::wstring kGermanCaption = L"Installationsprogramm \u2013 Ostrel 4.05";
const std::wstring kFrenchCaption = L"Installeur \u2013 Ostrel 4.05";

// Writes (or, with nothing, deletes) VtLanguage where a previous installation leaves it: the
// uninstall key of the 32-bit registry view.
void StoreLanguage(std::optional<DWORD> value, DWORD type = REG_DWORD)
{
    vt::unique_hkey key;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, kUninstallKey.c_str(), 0, nullptr, 0,
                                KEY_SET_VALUE | KEY_WOW64_32KEY, nullptr, key.put(), nullptr),
              ERROR_SUCCESS);
    if (!value) {
        ::RegDeleteValueW(key.get(), L"VtLanguage");
        return;
    }
    ASSERT_EQ(::RegSetValueExW(key.get(), L"VtLanguage", 0, type, reinterpret_cast<const BYTE*>(&*value),
                               sizeof(*value)),
              ERROR_SUCCESS);
}

// Starts the installer, expects its wizard under `caption` and leaves it.
void ExpectWizardCaption(const std::wstring& caption, const char* why)
{
    Program installer = Program::Start(InstallerPath());
    HWND wizard = WaitForWindow(installer.id(), kDialogClass, caption);
    EXPECT_NE(wizard, nullptr) << why << ": no wizard captioned " << Utf8(caption);
    if (wizard != nullptr)
        ExitWizard(installer, wizard);
}

} // namespace

TEST(StartupLanguage, StoredGermanSpeaksGermanFromTheStart)
{
    StoreLanguage(2);
    // The request to close the running product already comes in German, under the German title.
    RunningProduct product;
    ASSERT_TRUE(product.WaitRunning()) << "the stand-in product did not start";
    {
        Program installer = Program::Start(InstallerPath());
        HWND box = WaitForMessageBox(installer.id());
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(Utf8(MessageBoxText(box)), Utf8(L"Schließen Sie 'Ostrel', bevor Sie die Installation fortsetzen."));
        EXPECT_EQ(Utf8(WindowText(box)), Utf8(kGermanCaption));
        Click(box, IDCANCEL);
        EXPECT_EQ(installer.WaitForExit(), std::optional<DWORD>(0));
    }
    ASSERT_EQ(product.End(), std::optional<DWORD>(0));

    Program installer = Program::Start(InstallerPath());
    HWND wizard = WaitForWindow(installer.id(), kDialogClass, kGermanCaption);
    ASSERT_NE(wizard, nullptr) << "no German wizard";
    EXPECT_EQ(Utf8(ControlText(wizard, IDOK)), "Weiter  >");
    EXPECT_EQ(Utf8(ControlText(wizard, 3)), Utf8(L"<  Zurück"));
    EXPECT_EQ(Utf8(ControlText(wizard, IDCANCEL)), "Abbrechen");
    ExitWizard(installer, wizard);
}

TEST(StartupLanguage, UnusableStoredValuesKeepTheUsersLanguage)
{
    ASSERT_EQ(PRIMARYLANGID(::GetUserDefaultLangID()), LANG_ENGLISH) << "this scenario runs for an English user";
    StoreLanguage(4);
    ExpectWizardCaption(kWizardCaption, "VtLanguage 4 (Portuguese, not a start-page language)");
    StoreLanguage(0xFFFFFFFF);
    ExpectWizardCaption(kWizardCaption, "VtLanguage -1");
    StoreLanguage(2, REG_BINARY);
    ExpectWizardCaption(kWizardCaption, "VtLanguage of another type than DWORD");
    StoreLanguage(std::nullopt);
    ExpectWizardCaption(kWizardCaption, "no VtLanguage");
    StoreLanguage(0);
    ExpectWizardCaption(kFrenchCaption, "VtLanguage 0 overrides the user's language");
}

TEST(StartupLanguage, FrenchUserGetsTheFrenchTitle)
{
    ASSERT_EQ(PRIMARYLANGID(::GetUserDefaultLangID()), LANG_FRENCH) << "this scenario runs for a French user";
    ExpectWizardCaption(kFrenchCaption, "a French user");
    StoreLanguage(3);
    ExpectWizardCaption(L"Instalador \u2013 Ostrel 4.05", "a French user with Spanish stored");
}

TEST(StartupLanguage, UsersOfOtherLanguagesGetEnglish)
{
    ASSERT_EQ(PRIMARYLANGID(::GetUserDefaultLangID()), LANG_DUTCH) << "this scenario runs for a Dutch user";
    ExpectWizardCaption(kWizardCaption, "a Dutch user");
}
