// TODO(browser): replaced by the folder browser.
#include "wizard/folder_browser.h"

std::wstring BrowseForFolder(std::wstring&, const std::wstring&, const std::wstring&) { return {}; }
std::wstring BrowseForMenuFolder(std::wstring&, const std::wstring&, const std::wstring&, std::wstring*) { return {}; }
