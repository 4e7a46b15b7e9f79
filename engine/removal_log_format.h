#pragma once
// The text of Uninstall.ulog, shared by the installer (which writes and re-reads it) and the
// product's uninstaller (which reads it): six header lines, then one line per record.
//   // Uninstall Log File v1
//   // ############ WARNING: Do not delete or modify this file. ############
//   // Install Ostrel 4.05[ -- Update (<previous product>)]
//   // Install Path : <folder>
//   // Shortcut Path : <Start-menu folder>
//   // ---------------- (as long as the content of the line above)
//   0000:00ff:1 -- C:\Program Files\Vantor & Lind\Ostrel 4
// On disk the text is UTF-16LE with a byte-order mark and CR LF line ends; an older 8-bit file
// (no mark) is read in the reader's code page.
#include "engine/log_record.h"

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// The six header lines, without line ends. `previousProduct` empty: a first installation.
std::vector<std::wstring> RemovalLogHeaderLines(const std::wstring& product, const std::wstring& previousProduct,
                                                const std::wstring& installFolder, const std::wstring& menuFolder);

// One record line without its line end: index (4+ decimal digits), code type*256 + (flags & 0xFF)
// (4+ lower-case hex digits), done, " -- " and the path as given.
std::wstring RemovalLogRecordLine(std::size_t index, const LogRecord& record);

// What a reader takes from a log: the folders are texts only (whether they still exist is the
// caller's question), records in file order with empty backups.
struct RemovalLogContents {
    int version = 0;
    std::wstring previousProduct;
    std::wstring installFolder;
    std::wstring menuFolder;
    std::vector<LogRecord> records;
};

// Converts an 8-bit line (without the mark) to wide text in the reader's code page.
using NarrowToWide = std::function<std::wstring(std::string_view)>;

// The reader's line buffer: a line with its line end and a terminating zero must fit.
inline constexpr std::size_t kRemovalLogLineBufferBytes = 1024;

// The leading part of a log's bytes that ends with a complete line (the mark alone, or nothing,
// when no line ends): what may be read of a file taken only in part, whose last line is cut.
std::string_view RemovalLogWholeLines(std::string_view bytes);

// Reads a whole log from its bytes. Lines longer than the 1,024-byte line buffer end the reading,
// as do an unknown version, a missing header label, a malformed record line and a line holding a
// zero character; whatever was read before stays.
RemovalLogContents ReadRemovalLog(std::string_view bytes, const NarrowToWide& narrowToWide);
