#include "app/product_identity.h"

#include <stdexcept>

unsigned g_productId = 0;

std::wstring ProductDisplayName(unsigned productId)
{
    // Only the row of the product this installer carries; the maker's other products are not
    // this installer's business.
    switch (productId) {
    case kOstrel4ProductId:
        return L"Ostrel 4";
    default:
        throw std::logic_error("logic error");
    }
}

std::wstring GetProductName(bool nameOnly)
{
    std::wstring name = kProductName;
    if (!nameOnly)
        name += std::wstring(L" ") + kProductVersionText;
    return name;
}

std::wstring UninstallKeyName()
{
    return std::wstring(kUninstallKeyParent) + L"\\" + ProductDisplayName(g_productId);
}

std::wstring MakerKeyName()
{
    return std::wstring(L"Software\\") + kMakerName;
}

std::wstring ProgramPathValueName()
{
    return ProductDisplayName(g_productId) + L" Path";
}

std::wstring FileVersionText(std::uint64_t packed)
{
    std::wstring text;
    for (int shift = 48; shift >= 0; shift -= 16) {
        text += std::to_wstring((packed >> shift) & 0xFFFF);
        if (shift != 0)
            text += L'.';
    }
    return text;
}
