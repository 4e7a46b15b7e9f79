#pragma once
// How the status line names the cause of a failed installation: the error's category as a
// digit, then its value.
#include <string>
#include <system_error>

// "1:XXXXXXXX" for an operating-system error, "2:XXXXXXXX" for a run-time library (errno)
// error (eight upper-case hexadecimal digits), the package's own code in decimal, "7" otherwise.
std::wstring ErrorCodeText(const std::error_code& error);
