#include "package/entry_file.h"

#include <boost/filesystem/operations.hpp>

#include <algorithm>
#include <system_error>

namespace {

[[noreturn]] void ThrowSystemError(DWORD error)
{
    throw std::system_error(static_cast<int>(error), std::system_category());
}

} // namespace

entry_file::entry_file(const boost::filesystem::path& path)
    : m_file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr))
{
    if (!m_file)
        ThrowSystemError(::GetLastError());
}

void entry_file::write(const char* data, std::size_t size)
{
    while (size > 0) {
        const auto chunk = static_cast<DWORD>(std::min<std::size_t>(size, 0x40000000));
        DWORD written = 0;
        if (!::WriteFile(m_file.get(), data, chunk, &written, nullptr))
            ThrowSystemError(::GetLastError());
        if (written == 0)
            ThrowSystemError(ERROR_HANDLE_DISK_FULL);
        data += written;
        size -= written;
    }
}

void entry_file::close()
{
    // A write the system deferred can still fail here.
    if (!::CloseHandle(m_file.release()))
        ThrowSystemError(::GetLastError());
}

void prepare_destination(const boost::filesystem::path& path)
{
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        if ((attributes & FILE_ATTRIBUTE_READONLY) &&
            !::SetFileAttributesW(path.c_str(), attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY)))
            ThrowSystemError(::GetLastError());
        return;
    }
    const boost::filesystem::path parent = path.parent_path();
    if (!parent.empty() && !boost::filesystem::exists(parent))
        boost::filesystem::create_directories(parent);
}
