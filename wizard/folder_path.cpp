#include "wizard/folder_path.h"

#include <algorithm>
#include <vector>

namespace {

constexpr wchar_t kSeparator = L'\\';

// The components of a path: the runs between separators. Doubled and trailing separators
// separate nothing, so they make no empty components.
std::vector<std::wstring_view> Components(std::wstring_view path)
{
    std::vector<std::wstring_view> components;
    std::size_t start = 0;
    while (start < path.size()) {
        const std::size_t end = std::min(path.find(kSeparator, start), path.size());
        if (end > start)
            components.push_back(path.substr(start, end - start));
        start = end + 1;
    }
    return components;
}

// How many of `relative` the end of `path` repeats (all or 0); the first component of `path`
// is its root and is never compared.
std::size_t TrailingMatchOf(const std::vector<std::wstring_view>& path, std::size_t relativeCount,
                            const std::vector<std::wstring_view>& relative, ComponentEquals equals)
{
    if (relativeCount == 0 || path.size() <= relativeCount)
        return 0;
    for (std::size_t i = 1; i <= relativeCount; ++i) {
        if (!equals(path[path.size() - i], relative[relativeCount - i]))
            return 0;
    }
    return relativeCount;
}

wchar_t FoldAscii(wchar_t character)
{
    return character >= L'A' && character <= L'Z' ? static_cast<wchar_t>(character - L'A' + L'a') : character;
}

} // namespace

bool EqualsIgnoringAsciiCase(std::wstring_view left, std::wstring_view right)
{
    if (left.size() != right.size())
        return false;
    for (std::size_t i = 0; i < left.size(); ++i) {
        if (FoldAscii(left[i]) != FoldAscii(right[i]))
            return false;
    }
    return true;
}

std::size_t TrailingMatch(std::wstring_view path, std::wstring_view relative, ComponentEquals equals)
{
    // Both are worked on in path buffers; what does not fit cannot match.
    if (!FitsPathBuffer(path.size()) || !FitsPathBuffer(relative.size()))
        return 0;
    const std::vector<std::wstring_view> relativeComponents = Components(relative);
    return TrailingMatchOf(Components(path), relativeComponents.size(), relativeComponents, equals);
}

std::wstring AppendSubFolder(std::wstring_view path, std::wstring_view subFolder, ComponentEquals equals)
{
    if (!FitsPathBuffer(path.size()) || !FitsPathBuffer(subFolder.size()))
        return std::wstring(path);
    const std::vector<std::wstring_view> pathComponents = Components(path);
    const std::vector<std::wstring_view> subComponents = Components(subFolder);
    // The longest leading part of the sub-folder that the path ends with is already there.
    std::size_t present = subComponents.size();
    while (present > 0 && TrailingMatchOf(pathComponents, present, subComponents, equals) == 0)
        --present;
    if (present == subComponents.size())
        return std::wstring(path); // complete, or an empty sub-folder

    std::size_t kept = path.size();
    while (kept > 0 && path[kept - 1] == kSeparator)
        --kept;
    std::wstring result(path.substr(0, kept));
    for (std::size_t i = present; i < subComponents.size(); ++i) {
        // A path of separators only (a root) keeps one before the first appended component.
        if (!result.empty() || !path.empty())
            result += kSeparator;
        result += subComponents[i];
    }
    return FitsPathBuffer(result.size()) ? result : std::wstring(path);
}

std::wstring BaseOfPath(std::wstring_view path, std::wstring_view subFolder, ComponentEquals equals)
{
    const std::size_t matched = TrailingMatch(path, subFolder, equals);
    if (matched == 0)
        return std::wstring(path);
    std::size_t end = path.size();
    for (std::size_t i = 0; i < matched; ++i) {
        while (end > 0 && path[end - 1] == kSeparator)
            --end;
        while (end > 0 && path[end - 1] != kSeparator)
            --end;
    }
    // The root component is never matched, so a separator and the root remain before `end`.
    while (end > 0 && path[end - 1] == kSeparator)
        --end;
    std::wstring base(path.substr(0, end));
    if (base.size() == 2 && base[1] == L':')
        base += kSeparator; // a drive's root keeps its backslash: D:\Ostrel 4 gives D:\.
    return base;
}
