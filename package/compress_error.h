#pragma once
// The "compress" error category: the package's own failures, raised as
// std::system_error(code, compress_category()) with an empty description.
#include <system_error>

enum compress_error : int {
    invalid_checksum = 3,
    invalid_package = 4,
    interrupted = 5,
    decompression_error = 6,
    unexpected_error = 7,
};

// The one process-wide instance.
const std::error_category& compress_category() noexcept;

std::error_code make_error_code(compress_error code) noexcept;

[[noreturn]] void throw_compress_error(compress_error code);

template <>
struct std::is_error_code_enum<compress_error> : std::true_type {};
