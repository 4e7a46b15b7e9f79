#include "app/language_table.h"

#include <gtest/gtest.h>

#include <map>

namespace {

constexpr std::uint16_t LanguageId(std::uint16_t primary, std::uint16_t sub)
{
    return static_cast<std::uint16_t>((sub << 10) | primary);
}

} // namespace

TEST(LanguageTable, DefaultLanguageFollowsTheUserAmongTheOfferedLanguages)
{
    struct Case {
        std::uint16_t userLanguage;
        std::uint32_t mask;
        int expected;
        const char* why;
    };
    const Case cases[] = {
        {0x040C, 15, kFrench, "French (France)"},
        {0x0C0C, 15, kFrench, "French (Canada): same primary language"},
        {0x0409, 15, kEnglish, "English (United States)"},
        {0x0809, 15, kEnglish, "English (United Kingdom)"},
        {0x0407, 15, kGerman, "German"},
        {0x0C07, 15, kGerman, "German (Austria)"},
        {0x0C0A, 15, kSpanish, "Spanish (modern sort)"},
        {0x080A, 15, kSpanish, "Spanish (Mexico)"},
        {0x0413, 15, kEnglish, "Dutch is not offered: English"},
        {0x0411, 15, kEnglish, "Japanese is not offered: English"},
        {0x0413, 0x20 | 2, 5, "Dutch when offered"},
        {0x0409, 1, kFrench, "mask 1: English users get French too"},
        {0x0407, 1, kFrench, "mask 1: German users get French"},
        {0x0413, 4, kFrench, "neither the user's language nor English offered: French"},
        {LanguageId(0x04, 1), 15, kEnglish, "Traditional Chinese with mask 15"},
        {LanguageId(0x04, 1), 0x400 | 15, kEnglish, "Traditional Chinese even when Chinese is offered"},
        {LanguageId(0x04, 3), 0x400 | 15, kEnglish, "Chinese (Hong Kong) is not simplified"},
        {LanguageId(0x04, 2), 0x400 | 15, 10, "Chinese (People's Republic) when offered"},
        {LanguageId(0x04, 4), 0x400 | 15, 10, "Chinese (Singapore) when offered"},
        {LanguageId(0x04, 2), 15, kEnglish, "Simplified Chinese not offered"},
        {0x040D, 0x10000 | 2, kHebrew, "Hebrew when offered"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ChooseDefaultLanguage(c.userLanguage, c.mask), c.expected) << c.why;
}

TEST(LanguageTable, CurrentLcidKeepsTheUsersOwnOnlyForTheSameLanguageIdentifier)
{
    // French (Canada) differs from French (France) in its language identifier: index 0 keeps
    // the table's 1036, but the locale applied is still the user's own (same primary language).
    EXPECT_EQ(CurrentLcid(kFrench, 0x0C0C), 1036u);
    EXPECT_TRUE(LocaleFollowsUser(CurrentLcid(kFrench, 0x0C0C), 0x0C0C));
    // A user sort order (high bits of the LCID) survives when the language identifier matches.
    EXPECT_EQ(CurrentLcid(kGerman, 0x10407), 0x10407u);
    EXPECT_EQ(CurrentLcid(kGerman, 0x0409), 1031u);
    EXPECT_FALSE(LocaleFollowsUser(1031, 0x0409));
    EXPECT_EQ(CurrentLcid(kSpanish, 0x040A), 3082u) << "traditional sort is another identifier";
    EXPECT_TRUE(LocaleFollowsUser(3082, 0x040A));
}

TEST(LanguageTable, IndexPredicatesAndLcids)
{
    for (int index = -2; index < kLanguageCount + 3; ++index) {
        const bool untranslated = index == 5 || index == 6 || index == 8 || index == 10 || (index >= 12 && index <= 19);
        EXPECT_EQ(IsInstallerLanguage(index), !untranslated) << "index " << index;
    }
    for (std::uint32_t value : {0u, 1u, 2u, 3u})
        EXPECT_TRUE(IsStoredLanguageValid(value)) << value;
    for (std::uint32_t value : {4u, 19u, 0xFFFFFFFFu, 0x80000000u})
        EXPECT_FALSE(IsStoredLanguageValid(value)) << value;

    const std::map<int, std::uint32_t> lcids = {{0, 1036}, {1, 1033}, {2, 1031}, {3, 3082}, {4, 2070},
                                                {10, 2052}, {11, 1040}, {16, 1037}, {19, 1038},
                                                {-1, 1036}, {20, 1036}, {1000, 1036}};
    for (const auto& [index, lcid] : lcids)
        EXPECT_EQ(LanguageToLcid(index), lcid) << "index " << index;

    // Out of range behaves like French: its block and its flag.
    EXPECT_EQ(GetLanguageInfo(42).blockBase, 1000u);
    EXPECT_EQ(GetLanguageInfo(-1).flagIcon, 144u);
    EXPECT_EQ(GetLanguageInfo(11).blockBase, 6000u) << "Italian follows Portuguese";
    EXPECT_EQ(GetLanguageInfo(10).blockBase, 10000u) << "Chinese follows Turkish";
}

TEST(LanguageTable, LocalizedIdFallsBackWhereABlockIsUntranslated)
{
    // Text 3 is translated everywhere; text 4 is "#" in German; text 5 is "#" in German and
    // English; text 6 exists in no block.
    const std::map<unsigned, std::wstring> table = {
        {1003, L"fr3"}, {2003, L"en3"}, {3003, L"de3"}, {5003, L"pt3"}, {7003, L"#"},
        {1004, L"fr4"}, {2004, L"en4"}, {3004, L"#"},
        {1005, L"fr5"}, {2005, L"#"}, {3005, L"#"},
    };
    const auto load = [&](unsigned id) {
        const auto found = table.find(id);
        return found != table.end() ? found->second : std::wstring();
    };
    struct Case {
        int language;
        unsigned frenchId;
        unsigned expected;
    };
    const Case cases[] = {
        {kFrench, 1003, 1003}, {kEnglish, 1003, 2003}, {kGerman, 1003, 3003}, {4, 1003, 5003},
        {5, 1003, 2003},   // Dutch has no installer texts: English
        {42, 1003, 1003},  // out of range: French
        {kGerman, 1004, 2004}, {kGerman, 1005, 1005}, {kEnglish, 1005, 1005},
        {kGerman, 1006, 3006}, // missing loads as empty, which is not "#": no fallback
        {kFrench, 1005, 1005},
    };
    for (const Case& c : cases)
        EXPECT_EQ(LocalizedIdFor(c.language, c.frenchId, load), c.expected)
            << "language " << c.language << ", id " << c.frenchId;
}
