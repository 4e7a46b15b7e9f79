#include "engine/log_banner.h"

BannerDashes ComputeBannerDashes(int availableWidth, bool hasText, int spacedTextWidth, int dashWidth) noexcept
{
    if (dashWidth <= 0)
        return {};
    const int width = hasText ? availableWidth - spacedTextWidth : availableWidth;
    const int count = width / dashWidth; // truncates toward zero, so a negative width gives <= 0
    if (count <= 0)
        return {};
    if (!hasText)
        return {count, 0};
    return {count / 2, (count + 1) / 2};
}

std::wstring BannerLine(const std::wstring& text, BannerDashes dashes)
{
    std::wstring line(static_cast<size_t>(dashes.left), L'-');
    if (!text.empty())
        line += L" " + text + L" ";
    line.append(static_cast<size_t>(dashes.right), L'-');
    return line;
}
