// The installer's pictures (resources/artwork.rc), read back from this test program, which links
// the same resource script so that the wizard's dialogs find them here too.
#include "app/language_table.h"
#include "framework/unique_resource.h"
#include "tests/support/child_process.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <initializer_list>
#include <iomanip>
#include <map>
#include <set>
#include <span>
#include <vector>

namespace {

constexpr unsigned kApplicationIcon = 128;
constexpr unsigned kSidePicture = 137;

HMODULE Program()
{
    return ::GetModuleHandleW(nullptr);
}

std::vector<unsigned> FlagIcons()
{
    std::vector<unsigned> ids;
    for (int index = 0; index < kLanguageCount; ++index)
        ids.push_back(GetLanguageInfo(index).flagIcon);
    return ids;
}

std::span<const std::uint8_t> ResourceBytes(HMODULE module, const wchar_t* type, unsigned id)
{
    HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(id), type);
    if (found == nullptr)
        return {};
    const void* data = ::LockResource(::LoadResource(module, found));
    if (data == nullptr)
        return {};
    return {static_cast<const std::uint8_t*>(data), ::SizeofResource(module, found)};
}

// The images an icon resource lists in its group directory.
struct IconEntry {
    unsigned width;
    unsigned height;
    unsigned bitCount;
    unsigned imageId; // of the RT_ICON resource that holds the image
};

std::vector<IconEntry> IconDirectory(HMODULE module, unsigned id)
{
    // The group directory: three 16-bit words (reserved, type, count), then one packed 14-byte
    // entry per image: width, height, colour count, reserved, planes, bit count, size, image id.
    const auto bytes = ResourceBytes(module, RT_GROUP_ICON, id);
    std::vector<IconEntry> entries;
    if (bytes.size() < 6)
        return entries;
    const unsigned count = bytes[4] | bytes[5] << 8;
    for (unsigned i = 0; i < count && 6 + 14 * (i + 1) <= bytes.size(); ++i) {
        const std::uint8_t* entry = bytes.data() + 6 + 14 * i;
        entries.push_back({entry[0] == 0 ? 256u : entry[0], entry[1] == 0 ? 256u : entry[1],
                           static_cast<unsigned>(entry[6] | entry[7] << 8),
                           static_cast<unsigned>(entry[12] | entry[13] << 8)});
    }
    return entries;
}

vt::unique_hicon LoadIconAt(unsigned id, int width, int height)
{
    return vt::unique_hicon(static_cast<HICON>(
        ::LoadImageW(Program(), MAKEINTRESOURCEW(id), IMAGE_ICON, width, height, LR_DEFAULTCOLOR)));
}

// The bitmaps behind an icon; GetIconInfo hands out copies that the caller deletes.
struct IconBitmaps {
    vt::unique_hbitmap color;
    vt::unique_hbitmap mask;
};

IconBitmaps BitmapsOf(HICON icon)
{
    ICONINFO info{};
    if (!::GetIconInfo(icon, &info))
        return {};
    return {vt::unique_hbitmap(info.hbmColor), vt::unique_hbitmap(info.hbmMask)};
}

SIZE SizeOf(HBITMAP bitmap)
{
    BITMAP header{};
    if (::GetObjectW(bitmap, sizeof header, &header) != sizeof header)
        return {0, 0};
    return {header.bmWidth, header.bmHeight};
}

// The bitmap's pixels as 0x00RRGGBB, top row first, whatever its own format.
std::vector<std::uint32_t> PixelsOf(HBITMAP bitmap)
{
    const SIZE size = SizeOf(bitmap);
    BITMAPINFO format{};
    format.bmiHeader.biSize = sizeof format.bmiHeader;
    format.bmiHeader.biWidth = size.cx;
    format.bmiHeader.biHeight = -size.cy;
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biCompression = BI_RGB;
    std::vector<std::uint32_t> pixels(static_cast<size_t>(size.cx) * static_cast<size_t>(size.cy));
    vt::unique_hdc dc(::CreateCompatibleDC(nullptr));
    if (!dc || pixels.empty() ||
        ::GetDIBits(dc.get(), bitmap, 0, static_cast<UINT>(size.cy), pixels.data(), &format, DIB_RGB_COLORS) !=
            size.cy)
        return {};
    for (std::uint32_t& pixel : pixels)
        pixel &= 0x00FFFFFF;
    return pixels;
}

} // namespace

// The tests below go through the language table, so it must name every flag of artwork.rc once.
TEST(Artwork, TheLanguagesUseEveryFlagOnce)
{
    const std::vector<unsigned> ids = FlagIcons();
    const std::set<unsigned> distinct(ids.begin(), ids.end());
    EXPECT_EQ(distinct.size(), ids.size()) << "two languages share a flag icon id";
    std::set<unsigned> resources;
    for (unsigned id = 141; id <= 161; ++id)
        if (id != 159)
            resources.insert(id);
    EXPECT_EQ(distinct, resources);
}

TEST(Artwork, EachFlagIsOneImageOf18By12)
{
    for (unsigned id : FlagIcons()) {
        const std::vector<IconEntry> entries = IconDirectory(Program(), id);
        ASSERT_EQ(entries.size(), 1u) << "flag icon " << id << " holds exactly one image";
        EXPECT_EQ(entries[0].width, 18u) << "flag icon " << id;
        EXPECT_EQ(entries[0].height, 12u) << "flag icon " << id << ": not padded to a square";
        EXPECT_GE(entries[0].bitCount, 24u) << "flag icon " << id << " is in true colour";
    }
}

TEST(Artwork, FlagsLoadAtTheSizesTheStartPageAsksFor)
{
    struct Case {
        int requestedWidth;
        int requestedHeight;
        LONG width;
        LONG height;
        const char* what;
    };
    const Case cases[] = {
        {16, 12, 16, 12, "the size the start page loads"},
        {18, 12, 18, 12, "the size of the image list"},
        {0, 0, 18, 12, "no size given: the resource's own"},
    };
    for (const Case& c : cases) {
        for (unsigned id : FlagIcons()) {
            const vt::unique_hicon icon = LoadIconAt(id, c.requestedWidth, c.requestedHeight);
            ASSERT_TRUE(icon) << "flag icon " << id << " at " << c.what << ": error " << ::GetLastError();
            const IconBitmaps bitmaps = BitmapsOf(icon.get());
            ASSERT_TRUE(bitmaps.color) << "flag icon " << id << " has colour, not only a mask";
            const SIZE size = SizeOf(bitmaps.color.get());
            EXPECT_EQ(size.cx, c.width) << "flag icon " << id << " at " << c.what;
            EXPECT_EQ(size.cy, c.height) << "flag icon " << id << " at " << c.what;
        }
    }
}

// The start page's image list has colour but no mask, so a flag must cover its whole image.
TEST(Artwork, FlagsAreOpaqueAndShowMoreThanOneColour)
{
    for (unsigned id : FlagIcons()) {
        const vt::unique_hicon icon = LoadIconAt(id, 0, 0);
        ASSERT_TRUE(icon) << "flag icon " << id;
        const IconBitmaps bitmaps = BitmapsOf(icon.get());
        const std::vector<std::uint32_t> mask = PixelsOf(bitmaps.mask.get());
        ASSERT_EQ(mask.size(), 18u * 12u) << "flag icon " << id << " has an 18 x 12 mask";
        for (size_t i = 0; i < mask.size(); ++i)
            ASSERT_EQ(mask[i], 0u) << "flag icon " << id << " is transparent at pixel (" << i % 18 << ", " << i / 18
                                   << ")";
        const std::vector<std::uint32_t> pixels = PixelsOf(bitmaps.color.get());
        const std::set<std::uint32_t> colours(pixels.begin(), pixels.end());
        EXPECT_GE(colours.size(), 2u) << "flag icon " << id << " is a blank image";
    }
}

// Shrinking 18 columns to 16 merges neighbouring columns; depending on the stretch mode the
// result keeps one of them, blends them or ANDs their bits, and the last makes false colours
// (blue with red gives black) unless the artwork avoids them. Each pixel of the shrunk flag must
// therefore lie near the blend of two neighbouring pixels at the same place of the full flag.
TEST(Artwork, FlagsKeepTheirColoursAtTheStartPageSize)
{
    constexpr int kTolerance = 40; // per channel
    const auto channel = [](std::uint32_t pixel, int shift) { return static_cast<int>(pixel >> shift & 0xFF); };
    const auto nearBlend = [&](std::uint32_t pixel, std::uint32_t first, std::uint32_t second) {
        for (int step = 0; step <= 16; ++step) {
            bool within = true;
            for (int shift : {0, 8, 16}) {
                const int blend = (channel(first, shift) * (16 - step) + channel(second, shift) * step) / 16;
                within = within && std::abs(channel(pixel, shift) - blend) <= kTolerance;
            }
            if (within)
                return true;
        }
        return false;
    };
    for (unsigned id : FlagIcons()) {
        const vt::unique_hicon full = LoadIconAt(id, 18, 12);
        const vt::unique_hicon shrunk = LoadIconAt(id, 16, 12);
        ASSERT_TRUE(full && shrunk) << "flag icon " << id;
        const std::vector<std::uint32_t> fullPixels = PixelsOf(BitmapsOf(full.get()).color.get());
        const std::vector<std::uint32_t> shrunkPixels = PixelsOf(BitmapsOf(shrunk.get()).color.get());
        ASSERT_EQ(fullPixels.size(), 18u * 12u) << "flag icon " << id;
        ASSERT_EQ(shrunkPixels.size(), 16u * 12u) << "flag icon " << id;
        for (int y = 0; y < 12; ++y) {
            for (int x = 0; x < 16; ++x) {
                const std::uint32_t pixel = shrunkPixels[static_cast<size_t>(y * 16 + x)];
                const int source = x * 18 / 16;
                bool found = false;
                for (int i = std::max(source - 1, 0); i <= std::min(source + 1, 16) && !found; ++i)
                    found = nearBlend(pixel, fullPixels[static_cast<size_t>(y * 18 + i)],
                                      fullPixels[static_cast<size_t>(y * 18 + i + 1)]);
                EXPECT_TRUE(found) << "flag icon " << id << " at 16 x 12: pixel (" << x << ", " << y << ") is "
                                   << "#" << std::hex << std::setw(6) << std::setfill('0') << pixel << std::dec
                                   << ", not a colour of that place at 18 x 12";
            }
        }
    }
}

TEST(Artwork, NoTwoFlagsAreAlike)
{
    std::map<std::vector<std::uint32_t>, unsigned> seen;
    for (unsigned id : FlagIcons()) {
        const vt::unique_hicon icon = LoadIconAt(id, 0, 0);
        ASSERT_TRUE(icon) << "flag icon " << id;
        std::vector<std::uint32_t> pixels = PixelsOf(BitmapsOf(icon.get()).color.get());
        ASSERT_FALSE(pixels.empty()) << "flag icon " << id << ": its pixels cannot be read";
        const auto [previous, added] = seen.emplace(std::move(pixels), id);
        EXPECT_TRUE(added) << "flag icon " << id << " has the same pixels as flag icon " << previous->second;
    }
}

TEST(Artwork, SidePictureIs87By171With256Colours)
{
    const vt::unique_hbitmap picture(static_cast<HBITMAP>(
        ::LoadImageW(Program(), MAKEINTRESOURCEW(kSidePicture), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    ASSERT_TRUE(picture) << "bitmap 137: error " << ::GetLastError();
    DIBSECTION section{};
    ASSERT_EQ(::GetObjectW(picture.get(), sizeof section, &section), static_cast<int>(sizeof section))
        << "bitmap 137 is loaded as a DIB section";
    EXPECT_EQ(section.dsBm.bmWidth, 87);
    EXPECT_EQ(section.dsBm.bmHeight, 171);
    EXPECT_EQ(section.dsBm.bmBitsPixel, 8) << "a 256-colour palette picture";
    EXPECT_EQ(section.dsBmih.biCompression, static_cast<DWORD>(BI_RGB));

    ASSERT_NE(section.dsBm.bmBits, nullptr);
    const auto* bits = static_cast<const std::uint8_t*>(section.dsBm.bmBits);
    const std::set<std::uint8_t> used(bits, bits + static_cast<size_t>(section.dsBm.bmWidthBytes) * 171);
    EXPECT_GE(used.size(), 16u) << "a gradient uses many palette entries, a blank picture one";
}

TEST(Artwork, ApplicationIconHolds32And16PixelImages)
{
    for (int size : {32, 16}) {
        const vt::unique_hicon icon = LoadIconAt(kApplicationIcon, size, size);
        ASSERT_TRUE(icon) << "icon 128 at " << size << ": error " << ::GetLastError();
        EXPECT_EQ(SizeOf(BitmapsOf(icon.get()).color.get()).cx, size);
    }
    std::set<unsigned> stored;
    for (const IconEntry& entry : IconDirectory(Program(), kApplicationIcon))
        if (entry.width == entry.height)
            stored.insert(entry.width);
    EXPECT_EQ(stored, (std::set<unsigned>{16, 32})) << "both sizes are drawn, not scaled by the system";
}

TEST(Artwork, TheInstallerCarriesTheSameArtwork)
{
    const vt::unique_hmodule installer(::LoadLibraryExW(testsupport::InstallerPath().c_str(), nullptr,
                                                        LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
    ASSERT_TRUE(installer) << "cannot load the installer: error " << ::GetLastError();

    // An icon is a group directory plus one RT_ICON resource per image, so both are compared.
    struct Case {
        const wchar_t* type;
        unsigned id;
    };
    std::vector<Case> cases = {{RT_BITMAP, kSidePicture}};
    std::vector<unsigned> icons = FlagIcons();
    icons.push_back(kApplicationIcon);
    for (unsigned icon : icons) {
        cases.push_back({RT_GROUP_ICON, icon});
        for (const IconEntry& entry : IconDirectory(Program(), icon))
            cases.push_back({RT_ICON, entry.imageId});
    }
    for (const Case& c : cases) {
        const auto mine = ResourceBytes(Program(), c.type, c.id);
        const auto theirs = ResourceBytes(installer.get(), c.type, c.id);
        const unsigned type = static_cast<unsigned>(reinterpret_cast<ULONG_PTR>(c.type));
        ASSERT_FALSE(mine.empty()) << "resource " << c.id << " of type " << type << " in the test program";
        EXPECT_TRUE(std::equal(mine.begin(), mine.end(), theirs.begin(), theirs.end()))
            << "resource " << c.id << " of type " << type << " differs in the installer or is missing there";
    }
}
