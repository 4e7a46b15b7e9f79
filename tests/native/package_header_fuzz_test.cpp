// The header parser's fuzz target run over a bounded set of generated inputs, with every
// allocation watched: it must never crash, throw anything but unexpected_error, or allocate more
// than a small multiple of the bytes it was given. (The libFuzzer build of the same target runs
// where clang is installed.)
#include "package/package_format.h"
#include "tests/native/generated_inputs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <sstream>

namespace {

std::string ValidHeader(std::mt19937& random)
{
    std::vector<package_entry> entries(random() % 4);
    for (package_entry& entry : entries) {
        entry.source = L"\\b\\" + std::wstring(1 + random() % 5, L'n');
        entry.destination = L"<InstallPath>" + std::wstring(random() % 3, L'x');
        entry.size = random() % 100;
    }
    std::ostringstream out;
    write_package_header(out, entries);
    return out.str() + std::string(random() % 8, 'c');
}

// A valid header, then some of: flipped bytes, a field overwritten with an extreme value, a cut.
std::string Mutated(std::mt19937& random)
{
    std::string bytes = ValidHeader(random);
    const std::uint32_t extremes[] = {0, 1, 11, 12, 0x7FFFFFFF, 0xFFFFFFFF, static_cast<std::uint32_t>(random())};
    for (int mutation = 0, count = 1 + random() % 3; mutation < count; ++mutation) {
        const std::size_t at = random() % bytes.size();
        switch (random() % 3) {
        case 0:
            bytes[at] = static_cast<char>(random());
            break;
        case 1: {
            const std::uint32_t value = extremes[random() % std::size(extremes)];
            for (std::size_t i = 0; i < 4 && at + i < bytes.size(); ++i)
                bytes[at + i] = static_cast<char>(value >> (8 * i));
            break;
        }
        default:
            bytes.resize(at);
            if (bytes.empty())
                return bytes;
        }
    }
    return bytes;
}

} // namespace

TEST(PackageHeaderFuzz, GeneratedInputsNeverCrashNorOverAllocate)
{
    RunGeneratedInputs(20240605u, Mutated, [](std::size_t size) { return 256 + 8 * size; });
}
