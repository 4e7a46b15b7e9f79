#include "package/crc32.h"

#include <array>

namespace {

using crc_table = std::array<std::uint32_t, 256>;

crc_table BuildTable() noexcept
{
    constexpr std::uint32_t reflectedPolynomial = 0xEDB88320u; // 0x04C11DB7 with its bits reversed
    crc_table table{};
    for (std::uint32_t byte = 0; byte < table.size(); ++byte) {
        std::uint32_t value = byte;
        for (int bit = 0; bit < 8; ++bit)
            value = (value & 1u) ? (value >> 1) ^ reflectedPolynomial : value >> 1;
        table[byte] = value;
    }
    return table;
}

// Built on first use; the language makes the initialisation of a local static safe against
// concurrent first calls.
const crc_table& Table() noexcept
{
    static const crc_table table = BuildTable();
    return table;
}

} // namespace

std::uint32_t crc32_update(std::uint32_t running, const void* data, std::size_t size) noexcept
{
    const crc_table& table = Table();
    const auto* bytes = static_cast<const unsigned char*>(data);
    for (std::size_t i = 0; i < size; ++i)
        running = table[(running ^ bytes[i]) & 0xFFu] ^ (running >> 8);
    return running;
}

std::uint32_t compute_crc32(const void* data, std::size_t size) noexcept
{
    return crc32_final(crc32_update(crc32_initial, data, size));
}
