#include "package/folder_placeholders.h"

#include "package/compress_error.h"
#include "package/placeholder_table.h"
#include "support/message_box.h"

#include <shlobj.h>

#include <array>

namespace {

// The sample folder: absolute as given, else below the all-users desktop. Only the combined
// folder of the relative case is shared.
boost::filesystem::path SampleFolder(const placeholder& row, const package_folders& folders,
                                     shared_folder_list& shared, const special_folder_lookup& lookup)
{
    const boost::filesystem::path sample(folders.sample);
    if (sample.has_root_name() && sample.has_root_directory())
        return sample;
    boost::filesystem::path desktop = special_folder_path(row.csidl, row.fallbackCsidl, lookup);
    if (sample.empty())
        return desktop;
    desktop /= sample;
    shared.record(desktop);
    return desktop;
}

} // namespace

std::wstring shell_folder_path(int csidl)
{
    std::array<wchar_t, MAX_PATH> buffer{};
    // Only the text tells: some shells report success with an empty path, or fail with one.
    ::SHGetFolderPathW(owner_window(), csidl, nullptr, SHGFP_TYPE_CURRENT, buffer.data());
    return buffer.data();
}

boost::filesystem::path special_folder_path(int csidl, std::optional<int> fallbackCsidl,
                                            const special_folder_lookup& lookup)
{
    std::wstring path = lookup(csidl);
    if (path.empty() && fallbackCsidl)
        path = lookup(*fallbackCsidl);
    if (path.empty())
        throw_compress_error(unexpected_error);
    return path;
}

boost::filesystem::path resolve_folder_template(const boost::filesystem::path& folderTemplate,
                                                const package_folders& folders, shared_folder_list& shared,
                                                const special_folder_lookup& lookup)
{
    auto element = folderTemplate.begin();
    if (element == folderTemplate.end())
        return folderTemplate;
    const std::wstring& first = element->native();
    if (first.size() < 2 || first.front() != L'<' || first.back() != L'>')
        return folderTemplate;

    const std::optional<placeholder> row = find_placeholder(first);
    boost::filesystem::path folder;
    bool recordEachLevel = false;
    if (row) {
        switch (row->base) {
        case placeholder_base::installation:
            folder = folders.installation;
            break;
        case placeholder_base::temporary:
            folder = folders.temporary.empty() ? folders.installation : folders.temporary;
            break;
        case placeholder_base::sample:
            folder = SampleFolder(*row, folders, shared, lookup);
            break;
        case placeholder_base::special:
            folder = special_folder_path(row->csidl, row->fallbackCsidl, lookup);
            recordEachLevel = row->shared;
            break;
        }
    }
    for (++element; element != folderTemplate.end(); ++element) {
        // A trailing separator shows as "."; it names no folder of its own.
        if (element->native() == L".")
            continue;
        // A package names folders below its placeholder, never above: "<CommonData>\..\x"
        // would write beside the common data folder and open its parent to all users.
        if (element->native() == L"..")
            throw_compress_error(unexpected_error);
        folder /= *element;
        if (recordEachLevel)
            shared.record(folder);
    }
    return folder;
}
