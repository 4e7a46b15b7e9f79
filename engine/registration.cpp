#include "engine/registration.h"

#include "app/maker_contact.h"
#include "app/product_identity.h"
#include "engine/uninstall_log.h"
#include "framework/unique_resource.h"

#include <windows.h>

namespace {

constexpr wchar_t kMakerWebAddress[] = L"https://" VT_MAKER_WEB L"/";
constexpr wchar_t kMakerTelephone[] = L"" VT_MAKER_TELEPHONE;

bool SetText(HKEY key, const wchar_t* name, const std::wstring& text)
{
    const DWORD size = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)); // with its NUL
    return ::RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()), size) ==
           ERROR_SUCCESS;
}

bool SetNumber(HKEY key, const wchar_t* name, DWORD number)
{
    return ::RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof(number)) ==
           ERROR_SUCCESS;
}

} // namespace

bool WriteUninstallKey(UninstallLog& log, const InstalledFiles& files, int languageIndex)
{
    // The list of installed programs is created when missing: every Windows has it, but a fresh
    // 64-bit system may not have its 32-bit view yet.
    vt::unique_hkey parent;
    if (::RegCreateKeyExW(HKEY_LOCAL_MACHINE, kUninstallKeyParent, 0, nullptr, REG_OPTION_NON_VOLATILE,
                          KEY_ALL_ACCESS | KEY_WOW64_32KEY, nullptr, parent.put(), nullptr) != ERROR_SUCCESS)
        return false;
    vt::unique_hkey key;
    DWORD disposition = 0;
    if (::RegCreateKeyExW(parent.get(), ProductDisplayName(g_productId).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                          KEY_ALL_ACCESS | KEY_WOW64_32KEY, nullptr, key.put(), &disposition) != ERROR_SUCCESS)
        return false;
    log.AddUninstallKey(disposition == REG_OPENED_EXISTING_KEY ? key.get() : nullptr);

    const bool named = SetText(key.get(), L"DisplayName", GetProductName(false));
    const bool removable = SetText(key.get(), L"UninstallString", files.uninstallerPath);
    // The list of installed programs does without the rest.
    SetText(key.get(), L"DisplayIcon", files.programPath + L",0");
    SetText(key.get(), L"DisplayVersion", FileVersionText(kProductVersion));
    SetText(key.get(), L"Publisher", kMakerName);
    SetText(key.get(), L"URLInfoAbout", kMakerWebAddress);
    SetText(key.get(), L"HelpLink", kMakerWebAddress);
    SetText(key.get(), L"URLUpdateInfo", kMakerWebAddress);
    SetText(key.get(), L"HelpTelephone", kMakerTelephone);
    SetNumber(key.get(), L"NoModify", 1);
    SetNumber(key.get(), L"NoRepair", 1);
    SetNumber(key.get(), L"VtLanguage", static_cast<DWORD>(languageIndex));

    const bool written = named && removable;
    key.reset();
    log.SetResult(written);
    return written;
}

bool RegisterProgramPath(const std::wstring& programPath)
{
    vt::unique_hkey key;
    if (::RegCreateKeyExW(HKEY_LOCAL_MACHINE, MakerKeyName().c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                          MAXIMUM_ALLOWED | KEY_WOW64_32KEY, nullptr, key.put(), nullptr) != ERROR_SUCCESS)
        return false;
    return SetText(key.get(), ProgramPathValueName().c_str(), programPath);
}
