#pragma once
// The end of the decompression chain: collects and parses the package header, resolves every
// entry's destination, then writes each entry's bytes to its file, verifies the file's CRC-32 and
// reports each step through the callback.
#include "package/entry_file.h"
#include "package/folder_placeholders.h"
#include "package/membuf.h"
#include "package/notification.h"
#include "package/shared_folders.h"

#include <boost/iostreams/categories.hpp>

#include <cstdint>
#include <ios>
#include <memory>
#include <variant>
#include <vector>

class package_writer {
public:
    using char_type = char;
    using category = boost::iostreams::sink_tag;

    // With an empty callback nothing is sent and every step proceeds.
    // `lookup` finds the special folders and `grant` opens a shared folder to all users.
    package_writer(package_folders folders, notification_callback callback,
                   special_folder_lookup lookup = shell_folder_path,
                   shared_folder_list::grant_function grant = shared_folder_list::open_to_users);
    package_writer(const package_writer&) = delete;
    package_writer& operator=(const package_writer&) = delete;

    // Offered `size` decompressed bytes, returns how many it consumed: at most the rest of the
    // header or of the current entry, so the caller offers the remainder again. Consumes nothing
    // when `size` is 0. After an exception it discards whatever it is offered.
    std::streamsize write(const char* data, std::streamsize size);

    // Once the stream has ended: when every content byte has come, writes the zero-length entries
    // that follow the last one, which no data ever announces. Returns whether every entry of the
    // table has then been written or skipped.
    bool finish();

    // The entry whose file is being written or skipped, or null.
    const package_entry* current_entry() const noexcept;
    std::uint64_t total() const noexcept { return m_total; }

private:
    std::streamsize WriteHeader(const char* data, std::streamsize size);
    void CompleteHeader();
    std::streamsize WriteEntry(const char* data, std::uint64_t size);
    void OpenEntryFile(const package_entry& entry);
    void FinishEntry(package_entry& entry);
    notification::result Send(notification message);
    void SendProgress();

    package_folders m_folders;
    special_folder_lookup m_lookup;
    notification_callback m_callback;
    std::vector<package_entry> m_entries;
    std::uint64_t m_headerSize = 0;
    std::uint64_t m_position = 0;
    std::uint64_t m_total = 0;
    // The one stream owned at a time: the header buffer, then an entry's file while it is written.
    std::variant<std::monostate, std::unique_ptr<vt::memstream>, entry_file> m_stream;
    std::uint32_t m_index = 0; // 0 while the header is read; k while entry k - 1 is
    std::uint64_t m_remaining = 0;
    bool m_inEntry = false;
    bool m_skipping = false;
    bool m_disabled = false;
    shared_folder_list m_sharedFolders;
};
