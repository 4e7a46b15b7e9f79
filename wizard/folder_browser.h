#pragma once
// TODO(browser): placeholder declarations until the folder browser lands.
#include <string>

std::wstring BrowseForFolder(std::wstring& baseFolder, const std::wstring& subFolder, const std::wstring& title);
std::wstring BrowseForMenuFolder(std::wstring& baseFolder, const std::wstring& subFolder, const std::wstring& title,
                                 std::wstring* relativeResult);
