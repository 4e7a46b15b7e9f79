#pragma once
// What the extraction tells its caller, and what the caller answers.
#include "package/package_format.h"

#include <cstdint>
#include <functional>
#include <string>
#include <system_error>
#include <variant>

struct notification {
    enum class result : int { proceed = 0, cancel = 1, skip = 2 };

    // Once, before any byte of the stream is read.
    struct started {};
    // Once, after a complete extraction: bytes read from the stream, and the package's length.
    struct finished {
        std::uint64_t read;
        std::uint64_t total;
    };
    // When the first data of an entry arrives, before its file is opened; `destination` is the
    // full destination path. cancel stops, skip passes the entry over. Valid during the call only.
    struct file_started {
        const package_entry* entry;
    };
    // After the entry's file is closed and its CRC-32 verified; never for a skipped entry.
    struct file_finished {
        const package_entry* entry;
    };
    // Decompressed bytes done, of `total`: once when the header is complete, then after every
    // chunk consumed for an entry. cancel stops.
    struct progress {
        std::uint64_t position;
        std::uint64_t total;
    };
    // Once, when the extraction fails; `path` may be empty.
    struct failed {
        std::error_code code;
        std::wstring path;
    };

    using alternatives = std::variant<started, finished, file_started, file_finished, progress, failed>;

    template <typename Alternative>
    notification(Alternative alternative) : value(std::move(alternative))
    {
    }
    std::size_t index() const noexcept { return value.index(); }

    alternatives value;
};

using notification_callback = std::function<notification::result(notification)>;
