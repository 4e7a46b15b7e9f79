#include "package/package_resource.h"

#include "support/resource_lookup.h"

namespace {
constexpr WORD kPackageType = 260;
constexpr WORD kPackageName = 134;
} // namespace

vt::imemstream open_package_resource()
{
    const auto bytes = find_resource_data(MAKEINTRESOURCEW(kPackageType), MAKEINTRESOURCEW(kPackageName));
    if (!bytes)
        return vt::imemstream();
    return vt::imemstream(reinterpret_cast<const char*>(bytes->data()), bytes->size());
}
