#include "package/shared_folders.h"

#include "engine/access_rights.h"
#include "package/same_path.h"

#include <boost/filesystem/operations.hpp>

#include <algorithm>
#include <exception>

shared_folder_list::shared_folder_list(grant_function grant) : m_grant(std::move(grant)) {}

void shared_folder_list::record(const boost::filesystem::path& folder)
{
    const bool listed = std::any_of(m_folders.begin(), m_folders.end(),
                                    [&](const shared_folder& shared) { return same_path(shared.folder, folder); });
    if (!listed)
        m_folders.push_back({folder, false});
}

void shared_folder_list::open_above(const boost::filesystem::path& parent)
{
    for (shared_folder& shared : m_folders) {
        if (shared.done)
            continue;
        try {
            for (boost::filesystem::path candidate = parent;
                 boost::filesystem::exists(candidate) && boost::filesystem::is_directory(candidate);) {
                if (same_path(candidate, shared.folder)) {
                    shared.done = true;
                    m_grant(shared.folder);
                    break;
                }
                boost::filesystem::path up = candidate.parent_path();
                if (up == candidate)
                    break;
                candidate = std::move(up);
            }
        } catch (const std::exception&) {
            // Opening rights is a courtesy to the other users: the file is written regardless.
        }
    }
}

bool shared_folder_list::open_to_users(const boost::filesystem::path& folder)
{
    return AddFileAccess(folder.wstring(), FILE_ALL_ACCESS, OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE);
}
