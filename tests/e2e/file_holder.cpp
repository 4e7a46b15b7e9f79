// The role "hold-file": opens a file for reading and writing with no sharing, signals that it
// holds it, and keeps it until told to let go.
// Run as: ostrel_e2e --role hold-file <path> <held event> <release event>
#include "framework/unique_resource.h"
#include "tests/support/child_process.h"

namespace {

int HoldFile(const std::vector<std::wstring>& arguments)
{
    if (arguments.size() != 3)
        return 2;
    const vt::unique_hfile file(::CreateFileW(arguments[0].c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return 3;
    const vt::unique_handle held = testsupport::OpenNamedEvent(arguments[1]);
    const vt::unique_handle release = testsupport::OpenNamedEvent(arguments[2]);
    if (!held || !release)
        return 4;
    ::SetEvent(held.get());
    ::WaitForSingleObject(release.get(), 600000); // bounded: a test that died must not leave it behind for ever
    return 0;
}

const bool registered = testsupport::RegisterRole(L"hold-file", &HoldFile);

} // namespace
