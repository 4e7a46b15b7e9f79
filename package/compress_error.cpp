#include "package/compress_error.h"

#include <string>

namespace {

class compress_category_impl final : public std::error_category {
public:
    const char* name() const noexcept override { return "compress"; }

    std::string message(int code) const override
    {
        switch (code) {
        case invalid_checksum:
            return "invalid checksum";
        case interrupted:
            return "interrupted";
        case decompression_error:
            return "bzip2 error";
        case unexpected_error:
            return "unexpected error";
        default: // invalid_package has no message of its own
            return "unknown error";
        }
    }
};

} // namespace

const std::error_category& compress_category() noexcept
{
    static const compress_category_impl category;
    return category;
}

std::error_code make_error_code(compress_error code) noexcept
{
    return {static_cast<int>(code), compress_category()};
}

void throw_compress_error(compress_error code)
{
    throw std::system_error(make_error_code(code));
}
