// The removal-log reader's fuzz target run over a bounded set of generated inputs, with every
// allocation watched: it must never crash nor allocate out of proportion to the bytes it was
// given (the records it returns grow with the input; nothing else may). (The libFuzzer build of
// the same target runs where clang is installed.)
#include "engine/removal_log_format.h"
#include "tests/native/generated_inputs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace {

std::wstring RandomPath(std::mt19937& random)
{
    const wchar_t pieces[] = {L'C', L':', L'\\', L'a', L' ', L'\x4E0A', L'\x0A0A', L'\x00E9', L'-', L'/'};
    std::wstring path;
    for (std::size_t length = random() % 12; path.size() < length;)
        path.push_back(pieces[random() % std::size(pieces)]);
    return path;
}

// A log as the installer writes it, in UTF-16 or (now and then) in 8 bits.
std::string ValidLog(std::mt19937& random)
{
    std::vector<std::wstring> lines = RemovalLogHeaderLines(L"Ostrel 4.05", random() % 2 ? L"Ostrel 4.04" : L"",
                                                            RandomPath(random), RandomPath(random));
    for (std::size_t i = 0, count = random() % 6; i < count; ++i) {
        LogRecord record;
        record.type = static_cast<int>(random() % 7);
        record.entryFlags = record.type == RecordFile ? static_cast<int>(random() % 6) : -1;
        record.done = random() % 2 != 0;
        record.path = RandomPath(random);
        lines.push_back(RemovalLogRecordLine(random() % 12000, record));
    }
    const bool wide = random() % 4 != 0;
    std::string bytes = wide ? "\xFF\xFE" : "";
    for (const std::wstring& line : lines) {
        for (const wchar_t character : line + L"\r\n") {
            bytes.push_back(static_cast<char>(character & 0xFF));
            if (wide)
                bytes.push_back(static_cast<char>(character >> 8));
        }
    }
    return bytes;
}

// A valid log, then some of: flipped bytes, a line feed or zero put in, a run of one byte that
// makes a line too long, a cut.
std::string Mutated(std::mt19937& random)
{
    std::string bytes = ValidLog(random);
    for (int mutation = 0, count = 1 + random() % 3; mutation < count && !bytes.empty(); ++mutation) {
        const std::size_t at = random() % bytes.size();
        switch (random() % 4) {
        case 0:
            bytes[at] = static_cast<char>(random());
            break;
        case 1:
            bytes[at] = random() % 2 ? '\n' : '\0';
            break;
        case 2:
            bytes.insert(at, 1000 + random() % 100, static_cast<char>(random() % 2 ? 'p' : ' '));
            break;
        default:
            bytes.resize(at);
        }
    }
    return bytes;
}

} // namespace

TEST(RemovalLogFuzz, GeneratedInputsNeverCrashNorOverAllocate)
{
    // A line buffer's text (wide) and the record list, which may hold a record per 8 bytes.
    RunGeneratedInputs(20261211u, Mutated, [](std::size_t size) { return 4096 + 64 * size; });
}
