#pragma once
// Putting a file aside in the system's temporary folder before it is replaced.
#include <string>

// Moves (or, with `copy`, copies) `source` to a fresh "vt*.tmp" name in the system's temporary
// folder, keeping its attributes, and returns that name; without a source (nullptr) only
// reserves a name. Empty on any failure, the source then left as it was.
std::wstring BackupToTemp(const std::wstring* source, bool copy);
