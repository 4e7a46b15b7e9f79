#pragma once
// The installer's 20 languages and the decisions that depend only on them: no Win32 call here,
// so the host tests run the same code as the installer.
#include <cstdint>
#include <functional>
#include <string>

inline constexpr int kLanguageCount = 20;
inline constexpr int kFrench = 0;
inline constexpr int kEnglish = 1;
inline constexpr int kGerman = 2;
inline constexpr int kSpanish = 3;
inline constexpr int kHebrew = 16;

// The languages of the start page: French, English, German and Spanish.
inline constexpr std::uint32_t kInstallerLanguageMask = 0xF;

// Texts are written as French ids: text n of the installer is 1000 + n.
inline constexpr unsigned kFrenchBlockBase = 1000;

struct LanguageInfo {
    std::uint32_t lcid;            // the table's locale identifier
    std::uint16_t primaryLanguage; // matched against the user's language by DefaultLanguage
    unsigned blockBase;            // where this language's copy of the texts starts
    bool installerTexts;           // whether its block translates the installer's texts
    unsigned flagIcon;             // the small flag of the start page
};

// The row of an index; any index outside 0..19 gets the French row.
const LanguageInfo& GetLanguageInfo(int index) noexcept;

constexpr std::uint32_t LanguageMaskBit(int index) noexcept
{
    return index >= 0 && index < kLanguageCount ? std::uint32_t{1} << index : 0;
}

std::uint32_t LanguageToLcid(int index) noexcept;
// A VtLanguage value read back from the registry: only the four start-page languages.
bool IsStoredLanguageValid(std::uint32_t value) noexcept;
// Whether the installer runs in this language; values outside 0..19 count as French does.
bool IsInstallerLanguage(int index) noexcept;

// The current LCID of a language: the user's own when it names the same language (so that the
// user's sort order survives), the table's otherwise.
std::uint32_t CurrentLcid(int index, std::uint32_t userDefaultLcid) noexcept;

// The index for a user whose default language identifier is `userLanguageId`, among the
// languages of `mask` (not 0): the user's language when offered, else English when offered,
// else French.
int ChooseDefaultLanguage(std::uint16_t userLanguageId, std::uint32_t mask) noexcept;

// Maps a French text id to the id to load for `currentIndex`, falling back to English and then
// French where a block holds "#" (untranslated). `loadText` gives the raw text of an id, empty
// when there is none.
unsigned LocalizedIdFor(int currentIndex, unsigned frenchId, const std::function<std::wstring(unsigned)>& loadText);

// Whether the locale applied for a language is the user's own locale: when the user's default
// language is the same primary language as the language's current LCID (French (Canada) for
// French, say), the user's regional conventions are kept.
bool LocaleFollowsUser(std::uint32_t currentLcid, std::uint16_t userLanguageId) noexcept;
