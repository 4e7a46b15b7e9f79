#pragma once
// The arithmetic of the installation log's banner lines: a title centred between runs of
// dashes that fill the width of the log box, or a full line of dashes.
#include <string>

struct BannerDashes {
    int left = 0;
    int right = 0;
};

// `availableWidth`: the box's inner width in pixels; `spacedTextWidth`: the measured width of
// the title with its surrounding blanks, 0 without a title; `dashWidth`: the width of one "-".
// Widths that leave no room give no dashes rather than a negative count; the odd dash goes to
// the right.
BannerDashes ComputeBannerDashes(int availableWidth, bool hasText, int spacedTextWidth, int dashWidth) noexcept;

// The banner line without its line break: the dashes around " text ", or the dashes alone.
std::wstring BannerLine(const std::wstring& text, BannerDashes dashes);
