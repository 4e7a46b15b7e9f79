#pragma once
// What the stand-in main program does when the installer starts it to register itself, shared by
// the program and the tests that read its record.
//
// Started with "/Register" and "/Background" among its arguments (case-insensitive, anywhere, with
// an optional "/update=" followed by exactly 16 hexadecimal digits), the program appends one line
// to the file kRegistrationFileName in its own folder, then ends without showing a window.
//
// The file is UTF-8 without byte-order mark; each line is
//   <working folder> TAB <arguments> CR LF
// where <arguments> is the program's command line as received (GetCommandLineW) after the program
// name, leading blanks removed, and <working folder> is its current folder when it started
// (GetCurrentDirectoryW). A folder never holds a tab or a line break; arguments that hold a line
// break are refused (kRegistrationRefused) because the line could not be read back.
//
// Exit status:
//   kRegistrationSucceeded (-10)  the line was written; the environment variable
//                                 kExitStatusVariable, when set to a decimal integer, replaces it
//   kRegistrationRefused (87)     a malformed "/update=" value, arguments holding a line break, or
//                                 a kExitStatusVariable that is not a decimal integer; nothing written
//   kRegistrationNotRecorded (1)  the file could not be written
#include <string_view>

namespace standin {

inline constexpr std::wstring_view kRegistrationFileName = L"Ostrel.registration.txt";
inline constexpr std::wstring_view kExitStatusVariable = L"OSTREL_STAND_IN_EXIT_STATUS";

inline constexpr int kRegistrationSucceeded = -10;
inline constexpr int kRegistrationRefused = 87; // ERROR_INVALID_PARAMETER
inline constexpr int kRegistrationNotRecorded = 1;

} // namespace standin
