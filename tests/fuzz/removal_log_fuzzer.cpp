// Feeds arbitrary bytes to the removal-log reader. It must return what it read without a crash,
// an exception or an allocation beyond the fuzzer's limit, and what it returns must be what the
// uninstaller can act on safely: known record types, flags of one byte, paths only for files,
// folders and shortcuts, each path within one line buffer and free of zero characters.
#include "engine/removal_log_format.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace {
std::wstring Latin1(std::string_view text)
{
    return std::wstring(text.begin(), text.end());
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const RemovalLogContents contents = ReadRemovalLog(bytes, Latin1);
    if (!contents.records.empty() && contents.version != 1)
        std::abort();
    for (const LogRecord& record : contents.records) {
        if (record.type < RecordFolder || record.type > RecordRegistration)
            std::abort();
        if (record.entryFlags < -1 || record.entryFlags > 0xFE)
            std::abort();
        if (record.type > RecordDesktopShortcut && !record.path.empty())
            std::abort();
        if (record.path.size() >= kRemovalLogLineBufferBytes || record.path.find(L'\0') != std::wstring::npos)
            std::abort();
        if (!record.backup.empty())
            std::abort();
    }
    if (RemovalLogWholeLines(bytes).size() > size)
        std::abort();
    return 0;
}
