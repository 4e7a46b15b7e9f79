// Feeds arbitrary bytes to the package header parser. The only acceptable outcomes are a parsed
// header or std::system_error(unexpected_error); anything else (another exception, a crash, an
// allocation beyond the fuzzer's limit) is a finding.
#include "package/compress_error.h"
#include "package/membuf.h"
#include "package/package_format.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    vt::imemstream in(reinterpret_cast<const char*>(data), size);
    try {
        const package_header header = read_package_header(in);
        if (header.header_size > size || header_size_of(header.entries) > header.header_size)
            std::abort(); // accepted a table that the bytes do not hold
    } catch (const std::system_error& error) {
        if (error.code() != make_error_code(unexpected_error))
            std::abort();
    }
    return 0;
}
