// The installer carries the packed product as resource type 260, name 134.
#include "package/membuf.h"
#include "package/package_format.h"
#include "tests/support/bzip2_bytes.h"
#include "tests/support/test_files.h"

#include <gtest/gtest.h>

TEST(InstallerPackage, ResourceIsThePackersOutput)
{
    vt::unique_hmodule installer(::LoadLibraryExW(testsupport::InstallerPath().c_str(), nullptr,
                                                 LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
    ASSERT_TRUE(installer) << "cannot load the installer: error " << ::GetLastError();
    HRSRC found = ::FindResourceExW(installer.get(), MAKEINTRESOURCEW(260), MAKEINTRESOURCEW(134),
                                    MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT));
    ASSERT_NE(found, nullptr) << "no resource 260/134 in language 0x0400";
    const DWORD size = ::SizeofResource(installer.get(), found);
    const void* data = ::LockResource(::LoadResource(installer.get(), found));
    ASSERT_NE(data, nullptr);
    const std::string resource(static_cast<const char*>(data), size);

    const std::string packed = testsupport::ReadFileBytes(L"Z:" OSTREL_PACKAGE_FILE);
    ASSERT_FALSE(packed.empty()) << "the packer's output is missing";
    EXPECT_EQ(resource, packed) << "the resource is exactly the packer's output";

    const std::string package = testsupport::Bzip2Decompressed(resource);
    vt::imemstream in(package.data(), package.size());
    const package_header header = read_package_header(in);
    EXPECT_EQ(header.entries.size(), 9u) << "the files of product/package.manifest";
    EXPECT_EQ(package.size(), package_total(header)) << "the contents of every entry and nothing after them";
}
