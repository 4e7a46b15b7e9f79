#include "package/file_crc32.h"

#include "framework/unique_resource.h"
#include "package/crc32.h"

#include <array>
#include <system_error>

namespace {

constexpr int kSharingRetries = 3;
constexpr DWORD kRetryDelayMilliseconds = 1000;

// The CRC, or the system error that stopped the reading.
DWORD TryFileCrc32(const boost::filesystem::path& path, std::uint32_t& crc)
{
    vt::unique_hfile file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                        FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file)
        return ::GetLastError();
    std::array<char, 4096> block;
    std::uint32_t running = crc32_initial;
    for (;;) {
        DWORD read = 0;
        if (!::ReadFile(file.get(), block.data(), static_cast<DWORD>(block.size()), &read, nullptr))
            return ::GetLastError();
        if (read == 0)
            break;
        running = crc32_update(running, block.data(), read);
    }
    crc = crc32_final(running);
    return ERROR_SUCCESS;
}

} // namespace

std::uint32_t file_crc32(const boost::filesystem::path& path)
{
    for (int attempt = 0;; ++attempt) {
        std::uint32_t crc = 0;
        const DWORD error = TryFileCrc32(path, crc);
        if (error == ERROR_SUCCESS)
            return crc;
        // Virus scanners and indexers open a file just written; they let go soon.
        if (error != ERROR_SHARING_VIOLATION || attempt == kSharingRetries)
            throw std::system_error(static_cast<int>(error), std::system_category());
        ::Sleep(kRetryDelayMilliseconds);
    }
}
