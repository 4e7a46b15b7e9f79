#pragma once
// The folder arithmetic of the folder-browse dialog: whether a path already ends with the
// product's sub-folder, appending what is missing of it, and taking it off again. Paths use "\"
// separators; every path is limited to the classic 260-character buffer of the shell's path
// functions, and a result that would not fit leaves its input unchanged.
#include <cstddef>
#include <string>
#include <string_view>

// Characters a path buffer holds, its terminator included (MAX_PATH).
inline constexpr std::size_t kPathBufferLength = 260;

// Whether a path that `length` characters long fits a path buffer with its terminator.
constexpr bool FitsPathBuffer(std::size_t length) noexcept
{
    return length < kPathBufferLength;
}

// Compares two path components without regard to case.
using ComponentEquals = bool (*)(std::wstring_view, std::wstring_view);

// Folds ASCII letters only, so that the host build needs no case table. Windows code passes the
// file system's comparison instead (SameFolderName, CompareStringOrdinal ignoring case), which
// also matches "ÖFFENTLICH" with "öffentlich".
bool EqualsIgnoringAsciiCase(std::wstring_view left, std::wstring_view right);

// How many components of `relative` the end of `path` repeats: all of them, or 0. Trailing
// backslashes do not count; the first component of `path` (its drive) is never matched, so a
// bare drive never matches.
std::size_t TrailingMatch(std::wstring_view path, std::wstring_view relative,
                          ComponentEquals equals = &EqualsIgnoringAsciiCase);

// `path` with the components of `subFolder` that it does not already end with appended: none
// when it ends with the whole sub-folder, the rest after the longest leading part it ends with,
// otherwise all. An empty sub-folder, or a result too long for a path buffer, gives `path`.
std::wstring AppendSubFolder(std::wstring_view path, std::wstring_view subFolder,
                             ComponentEquals equals = &EqualsIgnoringAsciiCase);

// `path` without the trailing components that repeat the whole of `subFolder` (D:\Apps\Ostrel 4
// with Ostrel 4 gives D:\Apps, D:\Ostrel 4 gives D:\); `path` itself when it does not end
// with the sub-folder or the sub-folder is empty.
std::wstring BaseOfPath(std::wstring_view path, std::wstring_view subFolder,
                        ComponentEquals equals = &EqualsIgnoringAsciiCase);
