// PalvioManager.exe and PalvioDial.exe: the sample companion applications that the plug-in installs and
// starts. Each is one small window that names itself and lists the device's ports Windows has mapped, so
// that a device maker sees their ports come. The two differ only by name (companion_name.h).
#include "companion_name.h"
#include "ports.h"

#include <windows.h>

namespace {

constexpr int kListId = 100;
const char kClassName[] = COMPANION_KEY "Window";

void FillPortList(HWND list) {
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    std::vector<std::string> ports = ListSerialPorts();
    if (ports.empty())
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("No port of the device was found."));
    for (const std::string& port : ports)
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(port.c_str()));
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE: {
        HINSTANCE instance = reinterpret_cast<CREATESTRUCTA*>(lParam)->hInstance;
        HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
        HWND label =
            CreateWindowExA(0, "STATIC", COMPANION_TITLE ": the device's ports", WS_CHILD | WS_VISIBLE, 10,
                            10, 360, 20, window, nullptr, instance, nullptr);
        HWND list = CreateWindowExA(
            WS_EX_CLIENTEDGE, "LISTBOX", "", WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOINTEGRALHEIGHT, 10,
            34, 360, 150, window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kListId)), instance, nullptr);
        if (!label || !list)
            return -1;
        SendMessageA(label, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        SendMessageA(list, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        FillPortList(list);
        return 0;
    }
    case WM_DEVICECHANGE: // a port came or went: the list follows
        FillPortList(GetDlgItem(window, kListId));
        return TRUE;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
    // One window per application: a second start brings the first to the front.
    if (HWND running = FindWindowA(kClassName, COMPANION_TITLE)) {
        SetForegroundWindow(running);
        return 0;
    }
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kClassName;
    if (!RegisterClassA(&windowClass))
        return 1;
    HWND window =
        CreateWindowExA(0, kClassName, COMPANION_TITLE, WS_OVERLAPPEDWINDOW & ~WS_MAXIMIZEBOX, CW_USEDEFAULT,
                        CW_USEDEFAULT, 396, 232, nullptr, nullptr, instance, nullptr);
    if (!window)
        return 1;
    ShowWindow(window, show);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
