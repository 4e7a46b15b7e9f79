#pragma once
// Files and folders for the Windows tests: a fresh folder that removes itself, whole-file reads
// and writes.
#include "tests/support/child_process.h"

#include <boost/filesystem/operations.hpp>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace testsupport {

// A new folder below the temporary folder, removed with all it holds (read-only files included).
class ScratchFolder {
public:
    explicit ScratchFolder(const std::wstring& stem = L"scratch")
        : path(boost::filesystem::temp_directory_path() / UniqueName(stem))
    {
        boost::filesystem::create_directories(path);
    }
    ~ScratchFolder()
    {
        boost::system::error_code ignored;
        for (boost::filesystem::recursive_directory_iterator it(path, ignored), end; it != end; it.increment(ignored))
            ::SetFileAttributesW(it->path().c_str(), FILE_ATTRIBUTE_NORMAL);
        boost::filesystem::remove_all(path, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    // Files and folders below it.
    std::size_t Count() const
    {
        return static_cast<std::size_t>(std::distance(boost::filesystem::recursive_directory_iterator(path), {}));
    }

    const boost::filesystem::path path;
};

inline std::string ReadFileBytes(const boost::filesystem::path& path)
{
    std::ifstream in(std::filesystem::path(path.wstring()), std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

inline void WriteFileBytes(const boost::filesystem::path& path, const std::string& bytes)
{
    std::ofstream(std::filesystem::path(path.wstring()), std::ios::binary) << bytes;
}

} // namespace testsupport
