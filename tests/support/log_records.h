#pragma once
// Journal records written out field by field, for the tests of the removal log (portable).
#include "engine/log_record.h"

#include <string>
#include <utility>

namespace testsupport {

inline LogRecord Record(int type, int entryFlags, bool done, std::wstring path)
{
    LogRecord record;
    record.type = type;
    record.entryFlags = entryFlags;
    record.done = done;
    record.path = std::move(path);
    return record;
}

} // namespace testsupport
