// Explorer-like folder windows: a top-level window of Explorer's class with an address child whose text
// names the folder shown, as the system's folder-window search sees them.
#include "simpc.h"

#include <commctrl.h>

#include <cstring>

namespace sim {

namespace {

struct WindowState {
    const FolderWindowSpec* spec;
};

void JournalClose(const FolderWindowSpec& spec) {
    if (spec.journal.empty())
        return;
    char line[512];
    FormatBounded(line, sizeof line, "closed %s\r\n", spec.title.c_str());
    // One write per line: several windows may share a journal.
    ScopedFileHandle file(CreateFileA(spec.journal.c_str(), FILE_APPEND_DATA,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    if (file)
        WriteFile(file.Get(), line, static_cast<DWORD>(strlen(line)), &written, nullptr);
}

LRESULT CALLBACK FolderProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_NCCREATE:
        SetWindowLongPtrA(
            window, GWLP_USERDATA,
            reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams));
        break;
    case WM_CLOSE: {
        auto* state = reinterpret_cast<WindowState*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        if (state)
            JournalClose(*state->spec);
        DestroyWindow(window);
        return 0;
    }
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// The folder window's class, ours in this process; a class of that name with another procedure (a system
// class, say) cannot serve.
Result RegisterFolderClass(const char* name) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA existing = {};
    if (GetClassInfoA(instance, name, &existing))
        return existing.lpfnWndProc == FolderProc
                   ? Result()
                   : Result::Fail("window class %s exists already in this program", name);
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = FolderProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = name;
    if (!RegisterClassA(&windowClass))
        return Result::Fail("cannot register window class %s: %s", name,
                            DescribeError(GetLastError()).c_str());
    return Result();
}

// The address child: a real control where Windows has one of that class, else a plain window of that class.
HWND CreateAddressChild(HWND parent, const FolderWindowSpec& spec) {
    // The toolbar class comes with the common controls.
    InitCommonControls();
    const char* name = spec.addressClass.c_str();
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA existing = {};
    if (!GetClassInfoA(instance, name, &existing) && !GetClassInfoA(nullptr, name, &existing)) {
        WNDCLASSA plain = {};
        plain.lpfnWndProc = DefWindowProcA;
        plain.hInstance = instance;
        plain.lpszClassName = name;
        RegisterClassA(&plain);
    }
    HWND child = CreateWindowExA(0, name, spec.addressText.c_str(), WS_CHILD | WS_VISIBLE | WS_BORDER, 8, 8,
                                 360, 24, parent, nullptr, instance, nullptr);
    // Some controls ignore the creation text; the text is what matters, so set it again.
    if (child)
        SetWindowTextA(child, spec.addressText.c_str());
    return child;
}

LRESULT CALLBACK SlowChildProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_GETTEXT)
        Sleep(static_cast<DWORD>(GetWindowLongPtrA(window, GWLP_USERDATA)));
    return DefWindowProcA(window, message, wParam, lParam);
}

bool CreateSlowChildren(HWND parent, const FolderWindowSpec& spec) {
    const char name[] = "SimSlowChild";
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA slow = {};
    if (!GetClassInfoA(instance, name, &slow)) {
        slow.lpfnWndProc = SlowChildProc;
        slow.hInstance = instance;
        slow.lpszClassName = name;
        RegisterClassA(&slow);
    }
    for (int i = 0; i < spec.slowChildren; ++i) {
        HWND child = CreateWindowExA(0, name, "", WS_CHILD, 0, 0, 10, 10, parent, nullptr, instance, nullptr);
        if (!child)
            return false;
        SetWindowLongPtrA(child, GWLP_USERDATA, static_cast<LONG_PTR>(spec.slowAnswerMs));
    }
    return true;
}

// A window that never came up: gone without a journal line, and without the quit message its end posts.
void Abandon(HWND folder) {
    SetWindowLongPtrA(folder, GWLP_USERDATA, 0);
    DestroyWindow(folder);
    MSG quit;
    PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
}

} // namespace

Result RunFolderWindow(const FolderWindowSpec& spec, HANDLE ready, HWND* window) {
    if (spec.topClass.empty() || spec.addressClass.empty())
        return Result::Fail("a folder window needs a class and an address class");
    Result result = RegisterFolderClass(spec.topClass.c_str());
    if (!result)
        return result;
    WindowState state = {&spec};
    HWND folder = CreateWindowExA(
        0, spec.topClass.c_str(), spec.title.c_str(), WS_OVERLAPPEDWINDOW | (spec.visible ? WS_VISIBLE : 0),
        CW_USEDEFAULT, CW_USEDEFAULT, 400, 160, nullptr, nullptr, GetModuleHandleA(nullptr), &state);
    if (!folder)
        return Result::Fail("cannot create the folder window: %s", DescribeError(GetLastError()).c_str());
    HWND address = CreateAddressChild(folder, spec);
    if (!address) {
        result = Result::Fail("cannot create an address child of class %s: %s", spec.addressClass.c_str(),
                              DescribeError(GetLastError()).c_str());
        Abandon(folder);
        return result;
    }
    // The text as another program reads it, so that a control that keeps no text is caught here.
    char text[1024] = {};
    SendMessageA(address, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    if (spec.addressText != text) {
        result = Result::Fail("the %s child reads '%s', not '%s'", spec.addressClass.c_str(), text,
                              spec.addressText.c_str());
        Abandon(folder);
        return result;
    }
    if (!CreateSlowChildren(folder, spec)) {
        result = Result::Fail("cannot create the slow children: %s", DescribeError(GetLastError()).c_str());
        Abandon(folder);
        return result;
    }
    if (window)
        *window = folder;
    if (ready)
        SetEvent(ready);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return Result();
}

FolderWindow::FolderWindow(const FolderWindowSpec& spec) : m_spec(spec) {
    m_ready.Reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    if (m_ready)
        m_thread.Reset(CreateThread(nullptr, 0, Thread, this, 0, nullptr));
    if (!m_thread) {
        m_failure = Result::Fail("cannot start the folder window's thread: %s",
                                 DescribeError(GetLastError()).c_str());
        return;
    }
    HANDLE either[] = {m_ready.Get(), m_thread.Get()};
    DWORD which = WaitForMultipleObjects(2, either, FALSE, 30000);
    if (which == WAIT_TIMEOUT)
        m_failure = Result::Fail("the folder window did not come up within 30 s");
    if (which != WAIT_OBJECT_0)
        m_window = nullptr;
}

FolderWindow::~FolderWindow() {
    if (!m_thread)
        return;
    if (IsOpen())
        PostMessageA(m_window, WM_CLOSE, 0, 0);
    WaitForSingleObject(m_thread.Get(), 10000);
}

bool FolderWindow::IsOpen() const {
    return m_window != nullptr && m_thread && WaitForSingleObject(m_thread.Get(), 0) == WAIT_TIMEOUT;
}

bool FolderWindow::WaitClosed(DWORD ms) {
    return m_window != nullptr && m_thread && WaitForSingleObject(m_thread.Get(), ms) == WAIT_OBJECT_0;
}

DWORD WINAPI FolderWindow::Thread(void* self) {
    FolderWindow* owner = static_cast<FolderWindow*>(self);
    Result result = RunFolderWindow(owner->m_spec, owner->m_ready.Get(), &owner->m_window);
    // A failure comes only before the window is up, while the constructor waits for this thread to end.
    if (!result)
        owner->m_failure = result;
    return 0;
}

} // namespace sim
