#pragma once
// Destination templates: a placeholder such as <InstallPath> or <CommonData>, then folder names.
// Each is turned into a real folder while the package header is processed; folders built below
// the all-users special folders are recorded as shared.
#include "package/shared_folders.h"

#include <boost/filesystem/path.hpp>

#include <functional>
#include <optional>
#include <string>

// The folders the installation run gives the extraction.
struct package_folders {
    std::wstring installation;
    std::wstring sample;    // absolute, or relative to the all-users desktop, or empty: that desktop
    std::wstring temporary; // empty: the installation folder
};

// A special folder's current path, empty when the shell has none.
using special_folder_lookup = std::function<std::wstring(int csidl)>;
// The shell's answer, asked with the owner window of message boxes; the folder is not created.
std::wstring shell_folder_path(int csidl);

// The special folder, else its fallback. Throws std::system_error(unexpected_error) when neither
// has a path.
boost::filesystem::path special_folder_path(int csidl, std::optional<int> fallbackCsidl = std::nullopt,
                                            const special_folder_lookup& lookup = shell_folder_path);

// The folder a template names. A template that does not begin with an element in angle brackets
// is a literal path, returned as it is; a bracketed element that is not a known placeholder
// (they are case-sensitive) stands for nothing, leaving the rest as a relative path. Throws
// std::system_error(unexpected_error) when a special folder has no path.
boost::filesystem::path resolve_folder_template(const boost::filesystem::path& folderTemplate,
                                                const package_folders& folders, shared_folder_list& shared,
                                                const special_folder_lookup& lookup = shell_folder_path);
