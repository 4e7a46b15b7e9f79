#pragma once
// Folders built below the all-users special folders. Each is opened to the Users group once per
// extraction, before the first file is written in it or below it.
#include <boost/filesystem/path.hpp>

#include <functional>
#include <string>
#include <vector>

struct shared_folder {
    boost::filesystem::path folder;
    bool done = false;
};

class shared_folder_list {
public:
    // Opens one folder; its result is not used (a folder that stays closed is still written).
    using grant_function = std::function<bool(const boost::filesystem::path& folder)>;

    // By default a folder gets full access for Users, inherited by its files and sub-folders.
    explicit shared_folder_list(grant_function grant = open_to_users);

    // Adds the folder unless one already listed is the same folder (same_path).
    void record(const boost::filesystem::path& folder);

    // Opens every listed folder not yet opened that is `parent` itself or one of its existing
    // ancestors. Failures of one folder are passed over.
    void open_above(const boost::filesystem::path& parent);

    const std::vector<shared_folder>& folders() const noexcept { return m_folders; }

    static bool open_to_users(const boost::filesystem::path& folder);

private:
    grant_function m_grant;
    std::vector<shared_folder> m_folders;
};
