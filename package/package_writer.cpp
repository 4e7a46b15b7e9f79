#include "package/package_writer.h"

#include "package/compress_error.h"
#include "package/file_crc32.h"
#include "package/runtime_errors.h"

#include <algorithm>

namespace {

constexpr std::uint64_t kHeaderSizeField = 8;

std::uint64_t ReadLittleEndian64(const char* bytes)
{
    std::uint64_t value = 0;
    for (int i = 7; i >= 0; --i)
        value = (value << 8) | static_cast<unsigned char>(bytes[i]);
    return value;
}

} // namespace

package_writer::package_writer(package_folders folders, notification_callback callback, special_folder_lookup lookup,
                               shared_folder_list::grant_function grant)
    : m_folders(std::move(folders)),
      m_lookup(std::move(lookup)),
      m_callback(std::move(callback)),
      m_stream(std::make_unique<vt::memstream>()),
      m_sharedFolders(std::move(grant))
{
    // A header buffer that cannot grow raises its out-of-memory error rather than going quiet.
    std::get<std::unique_ptr<vt::memstream>>(m_stream)->exceptions(std::ios::badbit);
}

std::streamsize package_writer::write(const char* data, std::streamsize size)
{
    if (m_disabled)
        return size; // the chain may still flush buffered data while it is torn down
    if (size <= 0)
        return 0;
    try {
        if (m_index == 0)
            return WriteHeader(data, size);
        return WriteEntry(data, static_cast<std::uint64_t>(size));
    } catch (...) {
        m_disabled = true;
        throw;
    }
}

bool package_writer::finish()
{
    // Before the header is whole, or with content still missing, nothing may be created.
    if (m_disabled || m_index == 0 || m_position != m_total)
        return false;
    try {
        while (m_index - 1 < m_entries.size() && m_entries[m_index - 1].size == 0)
            WriteEntry(nullptr, 0);
    } catch (...) {
        m_disabled = true;
        throw;
    }
    return m_index - 1 == m_entries.size();
}

const package_entry* package_writer::current_entry() const noexcept
{
    return m_inEntry ? &m_entries[m_index - 1] : nullptr;
}

std::streamsize package_writer::WriteHeader(const char* data, std::streamsize size)
{
    vt::memstream& header = *std::get<std::unique_ptr<vt::memstream>>(m_stream);
    const std::uint64_t held = header.rdbuf()->range().second;
    const std::uint64_t wanted = held < kHeaderSizeField ? kHeaderSizeField : m_headerSize;
    const auto take = static_cast<std::streamsize>(std::min<std::uint64_t>(static_cast<std::uint64_t>(size), wanted - held));
    header.write(data, take);
    const auto [bytes, length] = header.rdbuf()->range();
    if (held < kHeaderSizeField && length == kHeaderSizeField) {
        m_headerSize = ReadLittleEndian64(bytes);
        // Refused before a byte more is buffered: a forged size could ask for gigabytes.
        check_header_size(m_headerSize);
    } else if (length == m_headerSize) {
        CompleteHeader();
    }
    return take;
}

void package_writer::CompleteHeader()
{
    vt::memstream& header = *std::get<std::unique_ptr<vt::memstream>>(m_stream);
    header.seekg(0);
    package_header parsed = read_package_header(header);
    m_stream = std::monostate{}; // the header buffer is no longer needed
    m_total = package_total(parsed);
    m_entries = std::move(parsed.entries);
    for (package_entry& entry : m_entries) {
        const boost::filesystem::path folder =
            resolve_folder_template(entry.destination, m_folders, m_sharedFolders, m_lookup);
        entry.destination = (folder / package_file_name(entry.source)).wstring();
    }
    m_position = m_headerSize;
    SendProgress();
    m_index = 1;
}

std::streamsize package_writer::WriteEntry(const char* data, std::uint64_t size)
{
    if (m_index - 1 >= m_entries.size())
        throw_compress_error(unexpected_error); // more data than the table announces
    package_entry& entry = m_entries[m_index - 1];
    if (!m_inEntry) {
        const notification::result answer = Send(notification::file_started{&entry});
        if (answer == notification::result::cancel)
            throw_compress_error(interrupted);
        m_remaining = entry.size;
        m_inEntry = true;
        m_skipping = answer == notification::result::skip;
        if (!m_skipping)
            OpenEntryFile(entry);
    }
    const std::uint64_t take = std::min(size, m_remaining);
    if (!m_skipping)
        std::get<entry_file>(m_stream).write(data, static_cast<std::size_t>(take));
    m_remaining -= take;
    m_position += take;
    SendProgress();
    if (m_remaining == 0)
        FinishEntry(entry);
    return static_cast<std::streamsize>(take);
}

void package_writer::OpenEntryFile(const package_entry& entry)
{
    const boost::filesystem::path destination(entry.destination);
    prepare_destination(destination);
    m_sharedFolders.open_above(destination.parent_path());
    m_stream = entry_file(destination);
}

void package_writer::FinishEntry(package_entry& entry)
{
    if (!m_skipping) {
        std::get<entry_file>(m_stream).close();
        m_stream = std::monostate{};
        if (file_crc32(boost::filesystem::path(entry.destination)) != entry.crc)
            throw_compress_error(invalid_checksum);
        if (Send(notification::file_finished{&entry}) == notification::result::cancel)
            throw_compress_error(interrupted);
    }
    m_inEntry = false;
    m_skipping = false;
    ++m_index;
}

notification::result package_writer::Send(notification message)
{
    if (!m_callback)
        return notification::result::proceed;
    const notification::result answer = m_callback(std::move(message));
    // The receiver's own work may leave the run-time library's error records set; a stream
    // failure of the extraction must not be reported with them.
    ForgetRuntimeErrors();
    return answer;
}

void package_writer::SendProgress()
{
    if (Send(notification::progress{m_position, m_total}) == notification::result::cancel)
        throw_compress_error(interrupted);
}
