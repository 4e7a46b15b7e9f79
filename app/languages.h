#pragma once
// The process language and the installer's texts in it. Every text a user sees is loaded
// through LoadLocalized, by its French id (1000 + text number).
#include "app/language_table.h"

#include <windows.h>

#include <initializer_list>
#include <string>

struct LanguageState {
    std::uint32_t availableMask = 1; // languages on offer when DefaultLanguage gets mask 0
    int index = kFrench;
    std::uint32_t lcid = 0;
    std::uint32_t codePage = 1252;
    // Searched first by the raw resource lookups; null means the program itself.
    HMODULE resourceModule = nullptr;
};

// The one record, created (and the French locale applied) on first use.
LanguageState& GetLanguageState();

// Makes `index` the process language: locale, LCID, ANSI code page; resources come from the
// program again. The thread locale is left as it is.
void SetLanguage(int index);

// The user's default locale name ("fr-CA"); empty when the system gives none.
std::wstring UserLocaleName();
// A locale name as the run-time libraries take it: narrow, character by character. The system's
// names are ASCII; English names may hold Latin-1 letters ("Norwegian Bokmål"), which keep their
// code; anything beyond becomes "?", which no library accepts.
std::string NarrowLocaleName(const std::wstring& name);

// The locale a language applies for a user: the system's name ("fr-CA") and the name the msvcrt
// run-time library accepts ("French_Canada.1252"), the user's own when the user's language is
// the same primary language as the language's LCID.
struct AppliedLocale {
    std::string name;
    std::string runtimeName;
};
AppliedLocale LocaleToApply(int index, std::uint32_t userLcid, const std::wstring& userLocaleName);

// The index for the user's default language among the languages of `mask` (0: availableMask).
int DefaultLanguage(std::uint32_t mask);

// The language's own name for itself, first letter in upper case ("Français", "Español").
std::wstring LanguageDisplayName(int index);

// Whether the language is written from right to left.
bool IsRightToLeft(int index);

// The id to load for a French text id in the current language (with the "#" fallback).
UINT LocalizedId(UINT frenchId);
// The text of a French text id in the current language; empty when the id does not exist.
std::wstring LoadLocalized(UINT frenchId);

// "Installer" in the current language; with the product: "Installer – Ostrel 4.05".
std::wstring GetInstallerTitle(bool withProduct);

// Fills the inserts %1, %2 … of `pattern` with the system's message formatter.
std::wstring FormatText(const std::wstring& pattern, std::initializer_list<std::wstring> inserts);
// The same for the localized text of a French id.
std::wstring FormatLocalized(UINT frenchId, std::initializer_list<std::wstring> inserts);
