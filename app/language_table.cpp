#include "app/language_table.h"

#include <array>

namespace {

constexpr std::uint16_t kChinesePrimary = 0x04;
constexpr int kChinese = 10;

constexpr std::array<LanguageInfo, kLanguageCount> kLanguages = {{
    {1036, 0x0C, 1000, true, 144},  // French
    {1033, 0x09, 2000, true, 145},  // English
    {1031, 0x07, 3000, true, 141},  // German
    {3082, 0x0A, 4000, true, 143},  // Spanish
    {2070, 0x16, 5000, true, 148},  // Portuguese
    {1043, 0x13, 7000, false, 147}, // Dutch
    {1030, 0x06, 8000, false, 142}, // Danish
    {1055, 0x1F, 9000, true, 149},  // Turkish
    {1026, 0x02, 11000, false, 150}, // Bulgarian
    {1048, 0x18, 12000, true, 151}, // Romanian
    {2052, kChinesePrimary, 10000, false, 152}, // Chinese (Simplified)
    {1040, 0x10, 6000, true, 146},  // Italian
    {1029, 0x05, 13000, false, 153}, // Czech
    {1044, 0x14, 14000, false, 154}, // Norwegian (Bokmål)
    {1032, 0x08, 15000, false, 155}, // Greek
    {1045, 0x15, 16000, false, 156}, // Polish
    {1037, 0x0D, 17000, false, 157}, // Hebrew
    {1066, 0x2A, 18000, false, 158}, // Vietnamese
    {1041, 0x11, 19000, false, 160}, // Japanese
    {1038, 0x0E, 20000, false, 161}, // Hungarian
}};

constexpr std::uint16_t PrimaryLanguage(std::uint32_t languageId) { return languageId & 0x3FF; }
constexpr std::uint16_t SubLanguage(std::uint32_t languageId) { return (languageId >> 10) & 0x3F; }

const std::wstring kUntranslated = L"#";

} // namespace

const LanguageInfo& GetLanguageInfo(int index) noexcept
{
    return index >= 0 && index < kLanguageCount ? kLanguages[static_cast<size_t>(index)] : kLanguages[kFrench];
}

std::uint32_t LanguageToLcid(int index) noexcept
{
    return GetLanguageInfo(index).lcid;
}

bool IsStoredLanguageValid(std::uint32_t value) noexcept
{
    return value <= kSpanish;
}

bool IsInstallerLanguage(int index) noexcept
{
    return GetLanguageInfo(index).installerTexts;
}

std::uint32_t CurrentLcid(int index, std::uint32_t userDefaultLcid) noexcept
{
    const std::uint32_t table = LanguageToLcid(index);
    return (userDefaultLcid & 0xFFFF) == table ? userDefaultLcid : table;
}

int ChooseDefaultLanguage(std::uint16_t userLanguageId, std::uint32_t mask) noexcept
{
    const std::uint16_t primary = PrimaryLanguage(userLanguageId);
    for (int index = 0; index < kLanguageCount; ++index) {
        if (kLanguages[static_cast<size_t>(index)].primaryLanguage != primary)
            continue;
        // Only simplified Chinese (People's Republic, Singapore) has texts of its own.
        if (index == kChinese && SubLanguage(userLanguageId) != 2 && SubLanguage(userLanguageId) != 4)
            break;
        if ((mask & LanguageMaskBit(index)) != 0)
            return index;
        break;
    }
    return (mask & LanguageMaskBit(kEnglish)) != 0 ? kEnglish : kFrench;
}

unsigned LocalizedIdFor(int currentIndex, unsigned frenchId, const std::function<std::wstring(unsigned)>& loadText)
{
    const int language = IsInstallerLanguage(currentIndex) ? currentIndex : kEnglish;
    if (language == kFrench)
        return frenchId;
    const unsigned candidate = frenchId + (GetLanguageInfo(language).blockBase - kFrenchBlockBase);
    if (loadText(candidate) != kUntranslated)
        return candidate;
    if (language == kEnglish)
        return frenchId;
    const unsigned english = frenchId + (GetLanguageInfo(kEnglish).blockBase - kFrenchBlockBase);
    return loadText(english) != kUntranslated ? english : frenchId;
}

bool LocaleFollowsUser(std::uint32_t currentLcid, std::uint16_t userLanguageId) noexcept
{
    return PrimaryLanguage(currentLcid) == PrimaryLanguage(userLanguageId);
}
