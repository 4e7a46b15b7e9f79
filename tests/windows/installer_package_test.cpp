// The installer carries the packed product as resource type 260, name 134.
#include "package/membuf.h"
#include "package/package_format.h"
#include "tests/support/child_process.h"

#include <boost/iostreams/copy.hpp>
#include <boost/iostreams/device/array.hpp>
#include <boost/iostreams/filter/bzip2.hpp>
#include <boost/iostreams/filtering_stream.hpp>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

using unique_datafile = vt::unique_hmodule;

std::string ReadWholeFile(const std::wstring& path)
{
    std::ifstream in(std::filesystem::path(path), std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

std::string Decompressed(const std::string& compressed)
{
    boost::iostreams::filtering_istream in;
    in.push(boost::iostreams::bzip2_decompressor());
    in.push(boost::iostreams::array_source(compressed.data(), compressed.size()));
    std::ostringstream out;
    boost::iostreams::copy(in, out);
    return out.str();
}

} // namespace

TEST(InstallerPackage, ResourceIsThePackersOutput)
{
    unique_datafile installer(::LoadLibraryExW(testsupport::InstallerPath().c_str(), nullptr,
                                               LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
    ASSERT_TRUE(installer) << "cannot load the installer: error " << ::GetLastError();
    HRSRC found = ::FindResourceExW(installer.get(), MAKEINTRESOURCEW(260), MAKEINTRESOURCEW(134),
                                    MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT));
    ASSERT_NE(found, nullptr) << "no resource 260/134 in language 0x0400";
    const DWORD size = ::SizeofResource(installer.get(), found);
    const void* data = ::LockResource(::LoadResource(installer.get(), found));
    ASSERT_NE(data, nullptr);
    const std::string resource(static_cast<const char*>(data), size);

    const std::string packed = ReadWholeFile(L"Z:" OSTREL_PACKAGE_FILE);
    ASSERT_FALSE(packed.empty()) << "the packer's output is missing";
    EXPECT_EQ(resource, packed) << "the resource is exactly the packer's output";

    const std::string package = Decompressed(resource);
    vt::imemstream in(package.data(), package.size());
    const package_header header = read_package_header(in);
    EXPECT_EQ(header.entries.size(), 9u) << "the files of product/package.manifest";
    EXPECT_EQ(package.size(), package_total(header)) << "the contents of every entry and nothing after them";
}
