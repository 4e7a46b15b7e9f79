#pragma once
// The file of one package entry while its bytes arrive.
#include "framework/unique_resource.h"

#include <boost/filesystem/path.hpp>

#include <cstddef>

class entry_file {
public:
    // Creates or truncates the file for writing, with no sharing: no other process may open it
    // while it is written. Throws std::system_error with the system's error code.
    explicit entry_file(const boost::filesystem::path& path);

    void write(const char* data, std::size_t size); // throws std::system_error
    void close();                                   // throws std::system_error

private:
    vt::unique_hfile m_file;
};

// Prepares the destination of an entry's file: an existing file loses its read-only attribute;
// otherwise the missing folders above it are created. Throws std::system_error or Boost's
// filesystem_error with the system's error code.
void prepare_destination(const boost::filesystem::path& path);
