#pragma once
#include <boost/filesystem/path.hpp>

#include <cstdint>

// The CRC-32 of a file on disk, read in blocks of 4096 bytes while other processes may read it
// but not write it. A file another process holds (a sharing violation) is tried again after a
// second, three times at most. Throws std::system_error with the system's error code.
std::uint32_t file_crc32(const boost::filesystem::path& path);
