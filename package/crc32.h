#pragma once
// CRC-32 of ISO-HDLC (the checksum of zlib and PNG): polynomial 0x04C11DB7, reflected input and
// output, initial value 0xFFFFFFFF, final complement. Each package entry carries one.
#include <cstddef>
#include <cstdint>

// Continues a running CRC over `size` more bytes. Start with crc32_initial and finish with
// crc32_final; compute_crc32() does all three for one block.
inline constexpr std::uint32_t crc32_initial = 0xFFFFFFFFu;
std::uint32_t crc32_update(std::uint32_t running, const void* data, std::size_t size) noexcept;
constexpr std::uint32_t crc32_final(std::uint32_t running) noexcept { return ~running; }

std::uint32_t compute_crc32(const void* data, std::size_t size) noexcept;
