#pragma once
// The placeholders a destination template may begin with. The packer accepts only these; the
// extraction turns each into a folder (folder_placeholders.h).
#include <optional>
#include <span>
#include <string_view>

enum class placeholder_base {
    installation, // the installation folder given to the extraction
    sample,       // the sample folder given to the extraction (see folder_placeholders.h)
    temporary,    // the temporary folder given to the extraction, else the installation folder
    special,      // a shell special folder
};

struct placeholder {
    std::wstring_view name; // matched exactly, brackets included, case-sensitive
    placeholder_base base;
    int csidl = -1;         // for special folders (and the desktop of the sample folder)
    std::optional<int> fallbackCsidl = std::nullopt; // asked for when the folder has no path
    bool shared = false;    // folders built below it are opened to all users
};

std::span<const placeholder> placeholder_table() noexcept;

// The table's row for `element`, or none.
std::optional<placeholder> find_placeholder(std::wstring_view element) noexcept;
