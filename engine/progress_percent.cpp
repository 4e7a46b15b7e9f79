#include "engine/progress_percent.h"

int ProgressPercent(std::uint64_t position, std::uint64_t total)
{
    if (total == 0 || position >= total)
        return 100;
    const int percent =
        static_cast<int>(static_cast<double>(position) / static_cast<double>(total) * 100.0 + 0.5);
    return percent >= 100 ? 99 : percent;
}
