#pragma once
// The stand-in's only window: its title and one line of text, nothing to do but close it.
#include <windows.h>

#include <string>

namespace standin {

// Shows the window titled `title` and runs the message loop until it is closed; returns the exit
// status (0), or 1 when the window cannot be created.
int RunMainWindow(HINSTANCE instance, const std::wstring& title, int showCommand);

} // namespace standin
