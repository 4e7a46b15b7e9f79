#pragma once
// The largest single allocation made while watching, for the fuzz targets' generated-input runs.
// Linking allocation_watch.cpp into a test program replaces its global operator new.
#include <cstddef>

namespace allocation_watch {

// Starts watching from a largest allocation of 0.
void Start() noexcept;
// Stops watching and returns the largest allocation seen since Start.
std::size_t Stop() noexcept;

} // namespace allocation_watch
