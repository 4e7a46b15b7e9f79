#pragma once
#include <cstdint>

// The progress bar's percentage for `position` bytes of `total`, rounded half up; 100 only once
// every byte is written, so a rounded 100 short of the end shows 99. An empty total counts as done.
int ProgressPercent(std::uint64_t position, std::uint64_t total);
