#pragma once
// Turns checked manifest entries into the package resource: one bzip2 stream (block size 9) of
// the header followed by every file's content. The same entries give the same bytes.
#include "tools/packer/manifest.h"

#include <ostream>
#include <stdexcept>
#include <vector>

// Thrown when a source cannot be read while it is packed, or changes meanwhile.
struct packing_error : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// The package entries of the manifest: absolute backslash-separated sources, sizes and CRCs
// read from the files.
std::vector<package_entry> package_entries(const std::vector<manifest_entry>& entries);

// Writes the compressed package to `out`.
void build_package(const std::vector<manifest_entry>& entries, std::ostream& out);
