#include "tools/packer/manifest.h"

#include "package/placeholder_table.h"
#include "tools/packer/utf16.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <locale>
#include <map>
#include <optional>
#include <sstream>
#include <utility>

namespace {

struct kind_name {
    std::string_view name;
    entry_kind kind;
};
constexpr std::array<kind_name, 6> kKindNames{{
    {"ordinary", EntryOrdinary},
    {"program", EntryProgram},
    {"uninstaller", EntryUninstaller},
    {"data", EntryData},
    {"no-update", EntryNoUpdate},
    {"temporary", EntryTemporary},
}};

std::string PlaceholderNames()
{
    std::string names;
    for (const placeholder& row : placeholder_table()) {
        names += names.empty() ? "" : ", ";
        for (const wchar_t c : row.name)
            names += static_cast<char>(c); // the names are ASCII
    }
    return names;
}

// A line's blank-separated fields; none when a quote is not closed.
std::optional<std::vector<std::string>> SplitFields(std::string_view line)
{
    std::vector<std::string> fields;
    std::size_t i = 0;
    const auto isBlank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (true) {
        while (i < line.size() && isBlank(line[i]))
            ++i;
        if (i == line.size())
            return fields;
        if (line[i] == '"') {
            const std::size_t close = line.find('"', i + 1);
            if (close == std::string_view::npos)
                return std::nullopt;
            fields.emplace_back(line.substr(i + 1, close - i - 1));
            i = close + 1;
        } else {
            const std::size_t start = i;
            while (i < line.size() && !isBlank(line[i]))
                ++i;
            fields.emplace_back(line.substr(start, i - start));
        }
    }
}

// The template with its elements joined by "\", or the reason it cannot be used.
std::wstring CheckedTemplate(const std::wstring& text, std::string& problem)
{
    std::vector<std::wstring> elements;
    std::wstring element;
    for (const wchar_t c : text + L"\\") {
        if (c != L'\\' && c != L'/') {
            element += c;
        } else if (!element.empty()) {
            elements.push_back(std::exchange(element, {}));
        }
    }
    if (elements.empty()) {
        problem = "the destination template is empty";
        return {};
    }
    const std::wstring& first = elements.front();
    if (first == L"<>") {
        problem = "the destination's placeholder <> is empty; the placeholders are: " + PlaceholderNames();
    } else if (first.front() != L'<' || first.back() != L'>') {
        problem = "the destination must begin with a placeholder, one of: " + PlaceholderNames();
    } else if (!find_placeholder(first)) {
        problem = "unknown placeholder in the destination (they are case-sensitive): " + PlaceholderNames();
    } else if (std::any_of(elements.begin() + 1, elements.end(), [](const std::wstring& name) {
                   return name == L"." || name == L".." || name.find_first_of(L"<>:") != std::wstring::npos;
               })) {
        problem = "the destination's folder names may not be \".\" or \"..\" nor hold <, > or :";
    }
    std::wstring joined;
    for (const std::wstring& name : elements)
        joined += (joined.empty() ? L"" : L"\\") + name;
    return joined;
}

std::optional<entry_kind> FindKind(std::string_view name)
{
    for (const kind_name& row : kKindNames)
        if (row.name == name)
            return row.kind;
    return std::nullopt;
}

std::string CheckReadable(const std::filesystem::path& source)
{
    std::error_code error;
    if (std::filesystem::is_directory(source, error))
        return "is a folder, not a file";
    std::ifstream file(source, std::ios::binary);
    if (!file)
        return std::strerror(errno);
    return {};
}

// Windows compares file names without regard to case.
std::wstring CaseFolded(std::wstring text)
{
    static const std::locale unicode = [] {
        try {
            return std::locale("C.UTF-8");
        } catch (const std::runtime_error&) {
            return std::locale::classic(); // letters beyond ASCII then compare as written
        }
    }();
    std::use_facet<std::ctype<wchar_t>>(unicode).tolower(text.data(), text.data() + text.size());
    return text;
}

} // namespace

std::string kind_names()
{
    std::string names;
    for (const kind_name& row : kKindNames)
        names += (names.empty() ? "" : ", ") + std::string(row.name);
    return names;
}

manifest parse_manifest(std::string_view text, const std::string& name, const std::filesystem::path& folder)
{
    manifest result;
    std::map<std::wstring, int> destinations; // case-folded destination file -> its line
    std::istringstream lines{std::string(text)};
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
        const auto fail = [&](const std::string& problem) {
            result.errors.push_back(name + ":" + std::to_string(number) + ": " + problem);
        };
        const std::size_t first = line.find_first_not_of(" \t\r");
        if (first == std::string::npos || line[first] == '#')
            continue;
        const auto fields = SplitFields(line);
        if (!fields) {
            fail("a double quote is not closed");
            continue;
        }
        if (fields->size() != 3) {
            fail("expected three fields (source, destination template, kind), found " +
                 std::to_string(fields->size()));
            continue;
        }
        const std::string& sourceText = (*fields)[0];
        const std::string& destinationText = (*fields)[1];
        const std::string& kindText = (*fields)[2];

        manifest_entry entry;
        entry.line = number;
        const auto kind = FindKind(kindText);
        if (!kind) {
            fail("unknown kind \"" + kindText + "\"; the kinds are: " + kind_names());
            continue;
        }
        entry.kind = *kind;

        const auto destination = utf16_from_utf8(destinationText);
        if (!destination) {
            fail("the destination is not valid UTF-8");
            continue;
        }
        std::string problem;
        entry.destination = CheckedTemplate(*destination, problem);
        if (!problem.empty()) {
            fail(problem + " (destination \"" + destinationText + "\")");
            continue;
        }

        entry.source = (folder / sourceText).lexically_normal();
        const std::string unreadable = CheckReadable(entry.source);
        if (!unreadable.empty()) {
            fail("cannot read the source \"" + sourceText + "\": " + unreadable);
            continue;
        }
        const auto fileName = utf16_from_utf8(entry.source.filename().string());
        if (!fileName) {
            fail("the source's file name is not valid UTF-8");
            continue;
        }
        try {
            package_file_name(*fileName);
        } catch (const std::system_error&) {
            fail("the installer cannot create a file named \"" + entry.source.filename().string() + "\"");
            continue;
        }

        const auto [existing, added] =
            destinations.emplace(CaseFolded(entry.destination + L"\\" + *fileName), number);
        if (!added) {
            fail("the destination \"" + destinationText + "\" already receives \"" +
                 entry.source.filename().string() + "\" from line " + std::to_string(existing->second));
            continue;
        }
        result.entries.push_back(std::move(entry));
    }
    return result;
}

manifest read_manifest(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        manifest result;
        result.errors.push_back(file.string() + ":0: cannot read the manifest: " + std::strerror(errno));
        return result;
    }
    std::ostringstream text;
    text << in.rdbuf();
    const std::filesystem::path folder = std::filesystem::absolute(file).parent_path();
    return parse_manifest(text.str(), file.string(), folder);
}
