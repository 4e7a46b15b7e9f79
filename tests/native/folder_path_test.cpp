#include "wizard/folder_path.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// A path of exactly `length` characters below C:\.
std::wstring PathOfLength(std::size_t length, const std::wstring& last = L"Ostrel 4")
{
    std::wstring path = L"C:\\";
    path.append(length - path.size() - last.size() - 1, L'p');
    return path + L"\\" + last;
}

bool AlwaysDifferent(std::wstring_view, std::wstring_view)
{
    return false;
}

// A path, a sub-folder and what an operation on the two gives.
struct PathCase {
    const wchar_t* path;
    const wchar_t* subFolder;
    const wchar_t* expected;
};

template <std::size_t N>
void ExpectEach(const PathCase (&cases)[N], std::wstring (*operation)(std::wstring_view, std::wstring_view, ComponentEquals))
{
    for (const PathCase& c : cases)
        EXPECT_EQ(operation(c.path, c.subFolder, &EqualsIgnoringAsciiCase), c.expected)
            << testing::PrintToString(std::wstring(c.path)) << " with " << testing::PrintToString(std::wstring(c.subFolder));
}

} // namespace

TEST(FolderPath, TrailingMatchCountsTheRepeatedComponents)
{
    const struct {
        const wchar_t* path;
        const wchar_t* relative;
        std::size_t expected;
    } cases[] = {
        {L"D:\\Apps\\Ostrel 4", L"Ostrel 4", 1},
        {L"D:\\Apps\\ostrel 4", L"Ostrel 4", 1},
        {L"D:\\Apps\\OSTREL 4\\", L"Ostrel 4", 1},
        {L"D:\\Apps\\Ostrel 4\\\\", L"Ostrel 4\\", 1},
        {L"C:\\Apps\\Vantor & Lind\\Ostrel 4", L"Vantor & Lind\\Ostrel 4", 2},
        {L"C:\\Vantor & Lind\\Ostrel 4", L"Vantor & Lind\\Ostrel 4", 2},
        {L"D:\\Ostrel 4", L"Ostrel 4", 1},
        {L"\\\\server\\share\\Ostrel 4", L"Ostrel 4", 1},
        {L"D:\\Apps", L"Ostrel 4", 0},
        {L"D:\\Apps\\Ostrel 4 Beta", L"Ostrel 4", 0},
        {L"D:\\Apps\\Ostrel", L"Ostrel 4", 0},
        {L"C:\\Apps\\Vantor & Lind", L"Vantor & Lind\\Ostrel 4", 0},
        {L"C:\\Other\\Ostrel 4", L"Vantor & Lind\\Ostrel 4", 0},
        {L"Ostrel 4", L"Ostrel 4", 0},           // a single component is the root
        {L"Vantor & Lind\\Ostrel 4", L"Vantor & Lind\\Ostrel 4", 0}, // path runs out first
        {L"D:\\", L"D:", 0},                      // a bare drive never matches
        {L"D:", L"D:", 0},
        {L"D:\\Apps", L"", 0},
        {L"", L"Ostrel 4", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TrailingMatch(c.path, c.relative), c.expected)
            << testing::PrintToString(std::wstring(c.path)) << " / " << testing::PrintToString(std::wstring(c.relative));
}

TEST(FolderPath, TrailingMatchUsesTheGivenComparison)
{
    EXPECT_EQ(TrailingMatch(L"D:\\Apps\\Ostrel 4", L"Ostrel 4", &AlwaysDifferent), 0u);
    // The host's comparison folds ASCII only; Windows passes the file system's.
    EXPECT_EQ(TrailingMatch(L"C:\\Users\\\u00d6FFENTLICH", L"\u00f6ffentlich"), 0u);
    EXPECT_EQ(TrailingMatch(L"C:\\Users\\\u00f6ffentlich", L"\u00f6ffentlich"), 1u);
}

TEST(FolderPath, AppendSubFolderAddsOnlyWhatIsMissing)
{
    const PathCase cases[] = {
        {L"C:\\Apps\\Vantor & Lind", L"Vantor & Lind\\Ostrel 4", L"C:\\Apps\\Vantor & Lind\\Ostrel 4"},
        {L"C:\\Apps\\VANTOR & LIND\\", L"Vantor & Lind\\Ostrel 4", L"C:\\Apps\\VANTOR & LIND\\Ostrel 4"},
        {L"C:\\Apps", L"Vantor & Lind\\Ostrel 4", L"C:\\Apps\\Vantor & Lind\\Ostrel 4"},
        {L"C:\\Apps\\Vantor & Lind\\Ostrel 4", L"Vantor & Lind\\Ostrel 4", L"C:\\Apps\\Vantor & Lind\\Ostrel 4"},
        {L"D:\\Apps", L"Ostrel 4", L"D:\\Apps\\Ostrel 4"},
        {L"D:\\Apps\\", L"Ostrel 4", L"D:\\Apps\\Ostrel 4"},
        {L"D:\\Apps\\\\", L"Ostrel 4", L"D:\\Apps\\Ostrel 4"},
        {L"D:\\Apps\\ostrel 4", L"Ostrel 4", L"D:\\Apps\\ostrel 4"},
        {L"D:\\Apps\\ostrel 4\\", L"Ostrel 4", L"D:\\Apps\\ostrel 4\\"},
        {L"D:\\", L"Ostrel 4", L"D:\\Ostrel 4"},
        {L"D:\\", L"D:", L"D:\\D:"}, // the drive is never taken for a component of the sub-folder
        {L"\\\\server\\share", L"Ostrel 4", L"\\\\server\\share\\Ostrel 4"},
        {L"\\", L"Ostrel 4", L"\\Ostrel 4"},
        {L"D:\\Apps", L"\\Ostrel 4\\", L"D:\\Apps\\Ostrel 4"},
        {L"D:\\Apps", L"", L"D:\\Apps"},
    };
    ExpectEach(cases, &AppendSubFolder);
}

TEST(FolderPath, AppendSubFolderLeavesAPathThatWouldNotFit)
{
    const std::wstring fits = PathOfLength(250, L"Apps");
    EXPECT_EQ(AppendSubFolder(fits, L"Ostrel 4"), fits + L"\\Ostrel 4") << "259 characters fit";
    const std::wstring tooLong = PathOfLength(251, L"Apps");
    EXPECT_EQ(AppendSubFolder(tooLong, L"Ostrel 4"), tooLong) << "260 characters need 261 with the terminator";
    const std::wstring overlong = PathOfLength(300, L"Apps");
    EXPECT_EQ(AppendSubFolder(overlong, L"Ostrel 4"), overlong);
}

TEST(FolderPath, BaseOfPathRemovesTheTrailingSubFolder)
{
    const PathCase cases[] = {
        {L"D:\\Apps\\Ostrel 4", L"Ostrel 4", L"D:\\Apps"},
        {L"D:\\Apps\\Ostrel 4\\", L"Ostrel 4", L"D:\\Apps"},
        {L"D:\\Apps\\\\ostrel 4", L"Ostrel 4", L"D:\\Apps"},
        {L"C:\\Apps\\Vantor & Lind\\Ostrel 4", L"Vantor & Lind\\Ostrel 4", L"C:\\Apps"},
        {L"C:\\Apps\\Vantor & Lind", L"Vantor & Lind\\Ostrel 4", L"C:\\Apps\\Vantor & Lind"},
        {L"D:\\Ostrel 4", L"Ostrel 4", L"D:\\"},
        {L"\\\\server\\share\\Ostrel 4", L"Ostrel 4", L"\\\\server\\share"},
        {L"D:\\Apps", L"Ostrel 4", L"D:\\Apps"},
        {L"D:\\Apps\\Ostrel 4", L"", L"D:\\Apps\\Ostrel 4"},
        {L"D:\\", L"Ostrel 4", L"D:\\"},
    };
    ExpectEach(cases, &BaseOfPath);
}

TEST(FolderPath, APathThatDoesNotFitNeverMatches)
{
    const std::wstring fits = PathOfLength(259);
    EXPECT_EQ(TrailingMatch(fits, L"Ostrel 4"), 1u);
    EXPECT_EQ(BaseOfPath(fits, L"Ostrel 4"), fits.substr(0, fits.size() - 9));
    const std::wstring tooLong = PathOfLength(260);
    EXPECT_EQ(TrailingMatch(tooLong, L"Ostrel 4"), 0u);
    EXPECT_EQ(BaseOfPath(tooLong, L"Ostrel 4"), tooLong);
}
