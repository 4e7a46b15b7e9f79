#pragma once
// The package manifest: which file of the build goes where in the installation, as what kind.
//
// One file a line: source, destination template, kind, separated by blanks. A field that holds
// blanks is written in double quotes; a line whose first non-blank character is # is a comment.
//   files/readme.txt     <InstallPath>                               ordinary
//   files/settings.xml   "<CommonData>\Vantor & Lind\Ostrel 4"       data
// A relative source is taken from the manifest's folder. The template begins with a placeholder
// (<InstallPath>, <CommonData>, ...) followed by folder names, separated by \ or /.
#include "package/package_format.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

struct manifest_entry {
    int line = 0;
    std::filesystem::path source; // absolute
    std::wstring destination;     // the template as UTF-16 code units, elements joined by "\"
    entry_kind kind = EntryOrdinary;
};

struct manifest {
    std::vector<manifest_entry> entries;
    std::vector<std::string> errors; // "<manifest>:<line>: <what is wrong>", in line order
};

// Reads and checks a manifest file; a file that cannot be read gives one error for line 0.
manifest read_manifest(const std::filesystem::path& file);
// The same for manifest text already read; `name` heads the error messages.
manifest parse_manifest(std::string_view text, const std::string& name, const std::filesystem::path& folder);

// The names a manifest gives the kinds of file, in the order of their values.
std::string kind_names();
