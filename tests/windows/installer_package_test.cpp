// The installer carries the packed product as resource type 260, name 134; its test variants
// carry other packages.
#include "package/extraction.h"
#include "package/membuf.h"
#include "package/package_format.h"
#include "tests/support/bzip2_bytes.h"
#include "tests/support/installer_variants.h"
#include "tests/support/product_stand_ins.h"
#include "tests/support/test_files.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

// The package resource of an installer, read from the file without starting it; empty when the
// installer or its resource is missing (the test then says which).
std::string PackageResourceOf(const std::wstring& installerPath)
{
    vt::unique_hmodule installer(
        ::LoadLibraryExW(installerPath.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
    if (!installer)
        return {};
    HRSRC found = ::FindResourceExW(installer.get(), MAKEINTRESOURCEW(260), MAKEINTRESOURCEW(134),
                                    MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT));
    if (found == nullptr)
        return {};
    const DWORD size = ::SizeofResource(installer.get(), found);
    const void* data = ::LockResource(::LoadResource(installer.get(), found));
    return data != nullptr ? std::string(static_cast<const char*>(data), size) : std::string();
}

bool Verifies(const std::string& compressed)
{
    vt::imemstream in(compressed.data(), compressed.size());
    return verify_package(in);
}

std::wstring FileName(const package_entry& entry)
{
    return package_file_name(entry.source);
}

} // namespace

TEST(InstallerPackage, ResourceIsThePackersOutput)
{
    const std::string resource = PackageResourceOf(testsupport::InstallerPath());
    ASSERT_FALSE(resource.empty()) << "no resource 260/134 in language 0x0400 in the installer";

    const std::string packed = testsupport::ReadFileBytes(L"Z:" OSTREL_PACKAGE_FILE);
    ASSERT_FALSE(packed.empty()) << "the packer's output is missing";
    EXPECT_EQ(resource, packed) << "the resource is exactly the packer's output";

    const std::string package = testsupport::Bzip2Decompressed(resource);
    vt::imemstream in(package.data(), package.size());
    const package_header header = read_package_header(in);
    EXPECT_EQ(header.entries.size(), 9u) << "the files of product/package.manifest.in";
    EXPECT_EQ(package.size(), package_total(header)) << "the contents of every entry and nothing after them";
}

TEST(InstallerPackage, CarriesTheBuiltProgramAndUninstaller)
{
    const std::string package = testsupport::Bzip2Decompressed(PackageResourceOf(testsupport::InstallerPath()));
    vt::imemstream in(package.data(), package.size());
    const package_header header = read_package_header(in);

    struct Expected {
        entry_kind kind;
        std::wstring name;
        std::wstring builtFile;
    };
    const Expected expected[] = {
        {EntryProgram, L"Ostrel.exe", testsupport::StandInProgram(L"4.5.0.1")},
        {EntryUninstaller, L"Uninstall.exe", testsupport::StandInUninstaller()},
    };
    for (const Expected& e : expected) {
        SCOPED_TRACE(testing::PrintToString(std::filesystem::path(e.name).string()));
        const package_entry* found = nullptr;
        std::uint64_t foundOffset = 0;
        std::uint64_t offset = header.header_size;
        for (const package_entry& entry : header.entries) {
            if (entry.flags == e.kind) {
                EXPECT_EQ(found, nullptr) << "a second entry of this kind";
                found = &entry;
                foundOffset = offset;
            }
            offset += entry.size;
        }
        ASSERT_NE(found, nullptr) << "no entry of this kind";
        EXPECT_EQ(FileName(*found), e.name);
        EXPECT_EQ(found->destination, L"<InstallPath>");
        const std::string built = testsupport::ReadFileBytes(e.builtFile);
        ASSERT_FALSE(built.empty()) << "the built program is missing";
        EXPECT_EQ(package.substr(foundOffset, found->size), built) << "the package holds the program as built";
    }
}

TEST(InstallerVariants, CorruptPackageOpensButFailsVerification)
{
    const std::string shipped = PackageResourceOf(testsupport::InstallerPath());
    const std::string corrupt = PackageResourceOf(testsupport::InstallerVariant(L"corrupt-package"));
    ASSERT_FALSE(corrupt.empty()) << "no package in the corrupt-package variant";
    ASSERT_EQ(corrupt.size(), shipped.size()) << "the same package, bytes changed in place";
    EXPECT_EQ(corrupt.substr(0, 14), shipped.substr(0, 14)) << "the stream and block headers are intact";
    EXPECT_NE(corrupt, shipped);

    EXPECT_TRUE(Verifies(shipped));
    EXPECT_FALSE(Verifies(corrupt)) << "the changed bytes fail the stream's check";
}

TEST(InstallerVariants, NoUninstallerPackageLacksOnlyTheUninstaller)
{
    const auto entriesOf = [](const std::wstring& installer) {
        const std::string package = testsupport::Bzip2Decompressed(PackageResourceOf(installer));
        vt::imemstream in(package.data(), package.size());
        return read_package_header(in).entries;
    };
    const std::vector<package_entry> shipped = entriesOf(testsupport::InstallerPath());
    const std::vector<package_entry> variant = entriesOf(testsupport::InstallerVariant(L"no-uninstaller"));

    EXPECT_TRUE(std::none_of(variant.begin(), variant.end(),
                             [](const package_entry& entry) { return entry.flags == EntryUninstaller; }));
    std::vector<std::wstring> expectedNames;
    for (const package_entry& entry : shipped)
        if (entry.flags != EntryUninstaller)
            expectedNames.push_back(FileName(entry));
    std::vector<std::wstring> names;
    for (const package_entry& entry : variant)
        names.push_back(FileName(entry));
    EXPECT_EQ(names, expectedNames) << "every other entry of the product, in the same order";
}
