#pragma once
// Streaming extraction of the package: the compressed stream is read in blocks of 4096 bytes,
// decompressed by libbzip2 (normal mode) and fed to a package_writer, which writes and verifies
// every file. Only the header is ever held whole in memory.
#include "package/notification.h"

#include <istream>
#include <string>

// Extracts the package read from the stream's current position. Sends `started` first (an empty
// callback therefore ends the call with std::bad_function_call before anything is extracted),
// then the writer's notifications, and `finished` after a complete extraction. Every failure that
// is a standard exception is reported once as `failed` and gives false; files completed before
// it stay, and the file in progress stays closed as written so far.
bool extract_package(std::istream& stream, const std::wstring& installationFolder, const std::wstring& sampleFolder,
                     const std::wstring& temporaryFolder, notification_callback callback);

// Decompresses the rest of the stream into nothing: whether it is one whole, sound bzip2 stream.
bool verify_package(std::istream& stream);

// The code and path a `failed` notification carries for an exception that ended the extraction
// while `currentFile` was being written (empty between files).
notification::failed failure_of(const std::exception& error, const std::wstring& currentFile);
