#pragma once
// The status line at the foot of every page: one id on all of them, so that the frame finds and
// lays out each page's line alike.
#include "app/languages.h"

#include <string>

inline constexpr int IDC_STATUS = 1003;

// "Click on 'Next' to continue.", the line of every page that only leads on.
inline std::wstring NextInvitation()
{
    return FormatLocalized(1106, {LoadLocalized(1006)});
}
