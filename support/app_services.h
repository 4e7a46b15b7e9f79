#pragma once
// Replaceable providers that message boxes and dialogs consult instead of reaching into the
// framework directly. The defaults are installed once during static initialisation.
#include <windows.h>

#include <exception>
#include <functional>
#include <string>

struct OwnerWindows {
    HWND owner = nullptr;    // may be null before the main window exists
    HWND topLevel = nullptr; // a top-level window disabled for the box, to enable afterwards
};

struct AppServices {
    std::function<HMODULE()> resourceModule;
    std::function<OwnerWindows()> owner;
    std::function<void(bool enable)> modalState;
    std::function<std::wstring()> caption;
    std::function<HICON()> icon;
    std::function<std::wstring(const std::exception&)> exceptionText;
};

AppServices& GetAppServices();
// Binds every provider to the framework.
void InstallDefaultAppServices();
