// The about entry of a window's system menu: a separator and the text of a string resource.
#pragma once

#include <windows.h>

// Appends the entry (command commandId, the text of string stringId) when the window has a system menu and
// the string is not empty.
void AddAboutEntry(HWND window, HINSTANCE instance, UINT stringId, UINT commandId);
