#pragma once
// The layout of a raw string-table block (RT_STRING): 16 entries, each a 16-bit length followed
// by that many UTF-16 code units. Portable, so that the walk is tested on the host too.
#include <cstddef>
#include <optional>
#include <span>
#include <string>

// Entry `entry` (0..15) of `block`; nothing when the block ends before the entry does.
std::optional<std::u16string> string_block_entry(std::span<const std::byte> block, unsigned entry);
