#pragma once
#include <initializer_list>
#include <string>

// TODO(languages): texts in the current language from the string tables replace the English
// texts below.

// "Installer – Ostrel 4.05" with the product name, "Installer" without.
std::wstring GetInstallerTitle(bool withProductName);

// Fills the inserts %1, %2 … of `pattern` with the system's message formatter.
std::wstring FormatText(const std::wstring& pattern, std::initializer_list<std::wstring> inserts);
