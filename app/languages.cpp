#include "app/languages.h"

#include "app/product_identity.h"
#include "framework/unique_resource.h"
#include "support/resource_lookup.h"

#include <clocale>
#include <locale>
#include <stdexcept>
#include <vector>

namespace {

std::uint32_t CurrentLcidOf(int index)
{
    return CurrentLcid(index, ::GetUserDefaultLCID());
}

std::wstring LocaleNameOf(std::uint32_t lcid)
{
    wchar_t name[LOCALE_NAME_MAX_LENGTH] = {};
    if (::LCIDToLocaleName(lcid, name, LOCALE_NAME_MAX_LENGTH, 0) == 0)
        return {};
    return name;
}

// A locale's text of `type`; the names and numbers asked for here are short.
std::wstring LocaleText(std::uint32_t lcid, LCTYPE type)
{
    wchar_t text[128] = {};
    if (::GetLocaleInfoW(lcid, type, text, 128) == 0)
        return {};
    return text;
}

// The name of a locale in the form the msvcrt run-time library accepts ("French_Canada.1252"):
// it refuses the system's own names ("fr-CA").
std::string RuntimeLocaleName(std::uint32_t lcid)
{
    const std::wstring language = LocaleText(lcid, LOCALE_SENGLISHLANGUAGENAME);
    const std::wstring country = LocaleText(lcid, LOCALE_SENGLISHCOUNTRYNAME);
    const std::wstring codePage = LocaleText(lcid, LOCALE_IDEFAULTANSICODEPAGE);
    if (language.empty() || country.empty() || codePage.empty())
        return {};
    return NarrowLocaleName(language + L"_" + country + L"." + codePage);
}

} // namespace

std::string NarrowLocaleName(const std::wstring& name)
{
    std::string narrow;
    for (wchar_t c : name)
        narrow += c <= 0xFF ? static_cast<char>(c) : '?';
    return narrow;
}

std::wstring UserLocaleName()
{
    wchar_t name[LOCALE_NAME_MAX_LENGTH] = {};
    if (::GetUserDefaultLocaleName(name, LOCALE_NAME_MAX_LENGTH) == 0)
        return {};
    return name;
}

AppliedLocale LocaleToApply(int index, std::uint32_t userLcid, const std::wstring& userLocaleName)
{
    const std::uint32_t lcid = CurrentLcid(index, userLcid);
    const bool followsUser = LocaleFollowsUser(lcid, static_cast<std::uint16_t>(userLcid & 0xFFFF));
    AppliedLocale locale;
    locale.name = NarrowLocaleName(followsUser ? userLocaleName : LocaleNameOf(lcid));
    locale.runtimeName = RuntimeLocaleName(followsUser ? userLcid : lcid);
    return locale;
}

namespace {

// Collation, character classes and dates follow the language; numbers and money keep the "C"
// conventions, so that the texts the program formats never depend on the user's settings.
// Whatever the run-time libraries refuse is left in the classic locale: a language change
// never fails.
void ApplyLocale(int index)
{
    const AppliedLocale locale = LocaleToApply(index, ::GetUserDefaultLCID(), UserLocaleName());
    std::setlocale(LC_ALL, "C");
    // An empty name would mean "the environment's locale" to both libraries: never ask for it.
    if (locale.name.empty())
        return;
    try {
        std::locale named = std::locale::classic();
        try {
            named = std::locale(locale.name);
        } catch (const std::runtime_error&) {
            // A name the standard library does not know: the classic locale's categories.
        }
        std::locale global = std::locale();
        global = std::locale(global, named, std::locale::collate | std::locale::ctype | std::locale::time);
        std::locale::global(global);
    } catch (const std::exception&) {
        // The previous global locale stays.
    }
    for (int category : {LC_CTYPE, LC_COLLATE, LC_TIME}) {
        if (std::setlocale(category, locale.name.c_str()) == nullptr && !locale.runtimeName.empty())
            std::setlocale(category, locale.runtimeName.c_str());
    }
}

std::uint32_t AnsiCodePage(std::uint32_t lcid)
{
    DWORD codePage = 0;
    if (::GetLocaleInfoW(lcid, LOCALE_IDEFAULTANSICODEPAGE | LOCALE_RETURN_NUMBER, reinterpret_cast<LPWSTR>(&codePage),
                         sizeof(codePage) / sizeof(wchar_t)) == 0 ||
        codePage == 0)
        codePage = ::GetACP();
    return codePage;
}

LanguageState CreateLanguageState()
{
    LanguageState state;
    state.lcid = CurrentLcidOf(kFrench);
    _configthreadlocale(_DISABLE_PER_THREAD_LOCALE);
    ApplyLocale(kFrench);
    ::SetThreadLocale(state.lcid);
    return state;
}

} // namespace

LanguageState& GetLanguageState()
{
    static LanguageState state = CreateLanguageState();
    return state;
}

void SetLanguage(int index)
{
    LanguageState& state = GetLanguageState();
    if (index != state.index)
        ApplyLocale(index);
    state.index = index;
    state.lcid = CurrentLcidOf(index);
    state.codePage = AnsiCodePage(state.lcid);
    state.resourceModule = nullptr;
}

int DefaultLanguage(std::uint32_t mask)
{
    if (mask == 0)
        mask = GetLanguageState().availableMask;
    return ChooseDefaultLanguage(::GetUserDefaultLangID(), mask);
}

std::wstring LanguageDisplayName(int index)
{
    const LCID lcid = CurrentLcidOf(index);
    std::wstring name = LocaleText(lcid, LOCALE_SNATIVELANGUAGENAME);
    if (name.empty())
        return name;
    // The first code point, which may be a surrogate pair.
    const int first = IS_HIGH_SURROGATE(name[0]) && name.size() > 1 ? 2 : 1;
    wchar_t upper[2] = {};
    if (::LCMapStringW(lcid, LCMAP_UPPERCASE, name.data(), first, upper, first) == first)
        name.replace(0, static_cast<size_t>(first), upper, static_cast<size_t>(first));
    return name;
}

bool IsRightToLeft(int index)
{
    const LCID lcid = MAKELCID(LANGIDFROMLCID(LanguageToLcid(index)), SORT_DEFAULT);
    LOCALESIGNATURE signature{};
    if (::GetLocaleInfoW(lcid, LOCALE_FONTSIGNATURE, reinterpret_cast<LPWSTR>(&signature),
                         sizeof(signature) / sizeof(wchar_t)) == 0)
        return index == kHebrew;
    // Bit 123 of the Unicode subset bits: the script is laid out right to left.
    return (signature.lsUsb[3] & (1u << 27)) != 0;
}

UINT LocalizedId(UINT frenchId)
{
    return LocalizedIdFor(GetLanguageState().index, frenchId, [](unsigned id) { return load_resource_string(id); });
}

std::wstring LoadLocalized(UINT frenchId)
{
    return load_resource_string(LocalizedId(frenchId));
}

std::wstring GetInstallerTitle(bool withProduct)
{
    std::wstring title = LoadLocalized(kFrenchBlockBase + 0);
    if (withProduct)
        title += L" \u2013 " + GetProductName(false);
    return title;
}

std::wstring FormatText(const std::wstring& pattern, std::initializer_list<std::wstring> inserts)
{
    // The formatter reads as many arguments as the pattern names (up to %99), whatever it was
    // given: a translation that names one insert too many must read an empty text, not memory
    // beyond the list.
    static const wchar_t kNoInsert[] = L"";
    std::vector<DWORD_PTR> arguments(99, reinterpret_cast<DWORD_PTR>(kNoInsert));
    size_t position = 0;
    for (const std::wstring& insert : inserts)
        arguments.at(position++) = reinterpret_cast<DWORD_PTR>(insert.c_str());
    vt::unique_hlocal buffer;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_FROM_STRING | FORMAT_MESSAGE_ARGUMENT_ARRAY | FORMAT_MESSAGE_ALLOCATE_BUFFER, pattern.c_str(), 0,
        0, reinterpret_cast<LPWSTR>(buffer.put()), 0, reinterpret_cast<va_list*>(arguments.data()));
    if (length == 0)
        return pattern; // a pattern the formatter refuses is shown as it stands
    return std::wstring(static_cast<const wchar_t*>(buffer.get()), length);
}

std::wstring FormatLocalized(UINT frenchId, std::initializer_list<std::wstring> inserts)
{
    return FormatText(LoadLocalized(frenchId), inserts);
}
