#include "about_entry.h"

#include "text.h"

void AddAboutEntry(HWND window, HINSTANCE instance, UINT stringId, UINT commandId) {
    if (!(GetWindowLongA(window, GWL_STYLE) & WS_SYSMENU))
        return;
    HMENU menu = GetSystemMenu(window, FALSE);
    char text[kPathRoom] = {};
    if (menu && LoadStringA(instance, stringId, text, sizeof text) > 0) {
        AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
        AppendMenuA(menu, MF_STRING, commandId, text);
    }
}
