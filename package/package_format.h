#pragma once
// The byte layout of a package, shared by the packer (writing) and the extraction (reading).
// All integers are little-endian, with no alignment or padding:
//   u64 header_size   offset of the first content byte (the whole header, this field included)
//   u32 count         entries in the file table
//   count entries     u32 source length, source (UTF-16LE code units), u32 destination length,
//                     destination, u32 flags, u64 size, u32 crc
//   contents          each entry's `size` bytes, in table order, starting at header_size
#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

// The kind of file, carried in `flags`; the extraction passes it through untouched.
enum entry_kind : std::uint32_t {
    EntryOrdinary = 0,
    EntryProgram = 1,     // the product's main program
    EntryUninstaller = 2, // the uninstaller
    EntryData = 3,        // never overwritten; opened to all users
    EntryNoUpdate = 4,    // not installed when an older installation is updated
    EntryTemporary = 5,   // deleted at the end of the run, not in the removal log
};

struct package_entry {
    // Strings hold UTF-16 code units, one per wchar_t, so that their lengths are the table's.
    std::wstring source;      // the file's path on the build machine; only its name is used
    std::wstring destination; // the folder template; the full destination file path once resolved
    std::uint32_t flags = 0;
    std::uint64_t size = 0;
    std::uint32_t crc = 0;
};

struct package_header {
    std::uint64_t header_size = 0;
    std::vector<package_entry> entries;
};

inline constexpr std::uint64_t package_table_offset = 12;                  // header_size + count
inline constexpr std::uint64_t package_header_size_limit = 0x100000000ull; // 4 GiB, exclusive
inline constexpr std::uint64_t package_entry_fixed_length = 24;            // without its strings

// Bytes one entry occupies in the table.
std::uint64_t entry_length(const package_entry& entry) noexcept;
// 12 + the length of every entry.
std::uint64_t header_size_of(const std::vector<package_entry>& entries) noexcept;
// header_size + every entry's size: the package's length, 100 % of extraction progress.
std::uint64_t package_total(const package_header& header) noexcept;

// Writes header_size, count and the table. Throws std::invalid_argument for a string that is too
// long or holds a value that is not a UTF-16 code unit.
void write_package_header(std::ostream& out, const std::vector<package_entry>& entries);

// Refuses, with unexpected_error, a header_size that only a faulty or hostile packer writes:
// below 12, or 4 GiB or more.
void check_header_size(std::uint64_t headerSize);

// Reads a whole header from `in`, which must hold at least its header_size bytes; the table is
// taken from those bytes only, and bytes between its end and header_size are skipped. Every
// length is checked against the bytes left before anything is allocated for it, and every
// entry's file name is checked (package_file_name). Throws std::system_error(unexpected_error)
// for a malformed header.
package_header read_package_header(std::istream& in);

// The name an entry's file gets: the last element of `source` (backslash and slash separate).
// Refused with unexpected_error when it could name anything but a file in the destination
// folder: empty once Windows has dropped its trailing dots and spaces (so "." and ".." too),
// holding a drive or stream colon or a control character, or a device name such as NUL or COM1.
std::wstring package_file_name(const std::wstring& source);
