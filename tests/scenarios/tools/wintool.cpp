// wintool: what a person at the simulated PC does with the windows the programs show, for the scenario
// scripts. Several steps may follow each other on one command line (one program start serves them all);
// each waits up to WINTOOL_SECONDS (default 60) for what it needs.
//
//   answer TITLE   a message box of that caption, once shown: prints "text <its message>", then presses OK
//   yes TITLE, no TITLE  the same for a box that asks: presses Yes or No
//   close TITLE    a top-level window of that title, once shown: posts WM_CLOSE to it
//   wait TITLE     a top-level window of that title shows
//   hidden TITLE   no top-level window of that title shows (hidden or gone)
//   gone NAME      no process of that executable file name runs any more; prints "gone after N ms", the
//                  time since the step before it ended
//   seen TITLE ID  the control ID of a top-level window of that title shows
//   click TITLE ID that control, once it shows, is clicked (BM_CLICK)
//   place TITLE ID prints "place X Y W H shown|hidden enabled|disabled": the control's rectangle in the
//                  window's client area and its state
//   press TITLE KEY  a key (escape, return) pressed and released in a top-level window of that title
//   send TITLE MESSAGE WPARAM  the message (a number, 0x... allowed) sent to a top-level window of that
//                  title with that wParam and an lParam of 0; the step ends when the window has handled it
//   lock FILE MS   the file opened (made when missing) sharing nothing, held MS milliseconds; prints "locked"
//   own MUTEX MS   the named mutex made and owned for MS milliseconds; prints "owned"
//   drag TITLE DX DY the mouse pressed 20 pixels inside the window's top-left corner, moved by DX, DY and
//                  released; prints "window at X Y", the window's top-left corner afterwards
//
// Exit status 0 when every step was done, 1 when one timed out (the reason on stderr), 2 for a command line
// it does not understand.
#include <windows.h>
#include <tlhelp32.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

DWORD g_limitMs = 60000;

void MouseTo(int x, int y, DWORD flags) {
    SetCursorPos(x, y);
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dx = MulDiv(x, 65536, GetSystemMetrics(SM_CXSCREEN)) + 1;
    input.mi.dy = MulDiv(y, 65536, GetSystemMetrics(SM_CYSCREEN)) + 1;
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | flags;
    SendInput(1, &input, sizeof input);
    Sleep(50);
}

// Presses the left button inside the window, moves the mouse by (dx, dy) in small steps and releases it.
void Drag(HWND window, int dx, int dy) {
    RECT rect = {};
    GetWindowRect(window, &rect);
    int x = rect.left + 20, y = rect.top + 20;
    MouseTo(x, y, 0);
    MouseTo(x, y, MOUSEEVENTF_LEFTDOWN);
    const int steps = 10;
    for (int step = 1; step <= steps; ++step)
        MouseTo(x + dx * step / steps, y + dy * step / steps, 0);
    MouseTo(x + dx, y + dy, MOUSEEVENTF_LEFTUP);
    Sleep(200);
}

// Polls until found() answers true or the time is up.
template <typename Found>
bool WaitFor(Found found) {
    DWORD start = GetTickCount();
    for (;;) {
        if (found())
            return true;
        if (GetTickCount() - start >= g_limitMs)
            return false;
        Sleep(100);
    }
}

std::string TextOf(HWND window) {
    char text[4096] = {};
    DWORD_PTR copied = 0;
    SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                        5000, &copied);
    text[sizeof text - 1] = '\0';
    return text;
}

bool ProcessRuns(const char* name) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return true;
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    bool found = false;
    for (BOOL more = Process32First(snapshot, &entry); more && !found; more = Process32Next(snapshot, &entry))
        found = _stricmp(entry.szExeFile, name) == 0;
    CloseHandle(snapshot);
    return found;
}

int Fail(const char* what, const char* argument) {
    fprintf(stderr, "wintool: %s '%s' within %lu s\n", what, argument, g_limitMs / 1000);
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    if (const char* seconds = getenv("WINTOOL_SECONDS"))
        g_limitMs = static_cast<DWORD>(atoi(seconds)) * 1000;
    if (argc < 3) {
        fprintf(stderr, "usage: wintool answer|yes|no|close|wait|hidden|gone ARGUMENT | seen|click|place "
                        "TITLE ID | press "
                        "TITLE KEY | drag TITLE DX DY | send TITLE MESSAGE WPARAM [...]\n");
        return 2;
    }
    DWORD stepEnded = GetTickCount();
    for (int i = 1; i < argc; i += 2, stepEnded = GetTickCount()) {
        if (i + 1 >= argc) {
            fprintf(stderr, "wintool: %s needs an argument\n", argv[i]);
            return 2;
        }
        const char* step = argv[i];
        const char* argument = argv[i + 1];
        HWND window = nullptr;
        if (strcmp(step, "answer") == 0 || strcmp(step, "yes") == 0 || strcmp(step, "no") == 0) {
            int button = step[0] == 'a' ? IDOK : step[0] == 'y' ? IDYES : IDNO;
            // A message box is a dialog of the system's dialog class; its text sits in control 0xFFFF.
            // The box exists before its set-up has filled it in; it shows once that is done.
            // A program's own dialog may bear the same title: the box is the one that shows the button.
            if (!WaitFor([&] {
                    window = nullptr;
                    while ((window = FindWindowExA(nullptr, window, "#32770", argument)) != nullptr) {
                        if (IsWindowVisible(window) && GetDlgItem(window, button))
                            return true;
                    }
                    return false;
                }))
                return Fail("no message box", argument);
            HWND message = GetDlgItem(window, 0xFFFF);
            printf("text %s\n", message ? TextOf(message).c_str() : "");
            fflush(stdout);
            PostMessageA(window, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                         reinterpret_cast<LPARAM>(GetDlgItem(window, button)));
        } else if (strcmp(step, "close") == 0 || strcmp(step, "wait") == 0) {
            // Shown means set up: a dialog shows once its initialisation is over.
            if (!WaitFor([&] {
                    window = FindWindowA(nullptr, argument);
                    return window && IsWindowVisible(window);
                }))
                return Fail("no window", argument);
            if (step[0] == 'c')
                PostMessageA(window, WM_CLOSE, 0, 0);
        } else if (strcmp(step, "hidden") == 0) {
            if (!WaitFor([&] {
                    window = FindWindowA(nullptr, argument);
                    return !window || !IsWindowVisible(window);
                }))
                return Fail("still showing:", argument);
        } else if (strcmp(step, "drag") == 0) {
            if (i + 3 >= argc) {
                fprintf(stderr, "wintool: drag needs a title and two distances\n");
                return 2;
            }
            int dx = atoi(argv[i + 2]), dy = atoi(argv[i + 3]);
            i += 2;
            if (!WaitFor([&] {
                    window = FindWindowA(nullptr, argument);
                    return window && IsWindowVisible(window);
                }))
                return Fail("no window", argument);
            Drag(window, dx, dy);
            RECT rect = {};
            GetWindowRect(window, &rect);
            printf("window at %ld %ld\n", rect.left, rect.top);
            fflush(stdout);
        } else if (strcmp(step, "send") == 0) {
            if (i + 3 >= argc) {
                fprintf(stderr, "wintool: send needs a title, a message and a wParam\n");
                return 2;
            }
            UINT message = static_cast<UINT>(strtoul(argv[i + 2], nullptr, 0));
            WPARAM wParam = static_cast<WPARAM>(strtoul(argv[i + 3], nullptr, 0));
            i += 2;
            if (!WaitFor([&] {
                    window = FindWindowA(nullptr, argument);
                    return window && IsWindowVisible(window);
                }))
                return Fail("no window", argument);
            DWORD_PTR answer = 0;
            if (!SendMessageTimeoutA(window, message, wParam, 0, SMTO_ABORTIFHUNG, g_limitMs, &answer))
                return Fail("the window did not handle the message:", argument);
        } else if (strcmp(step, "place") == 0) {
            if (i + 2 >= argc) {
                fprintf(stderr, "wintool: place needs a title and an ID\n");
                return 2;
            }
            int id = atoi(argv[++i + 1]);
            HWND control = nullptr;
            if (!WaitFor([&] {
                    window = FindWindowA(nullptr, argument);
                    control = window && IsWindowVisible(window) ? GetDlgItem(window, id) : nullptr;
                    return control != nullptr;
                }))
                return Fail("no such control in the window", argument);
            RECT rect = {};
            GetWindowRect(control, &rect);
            MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&rect), 2);
            printf("place %ld %ld %ld %ld %s %s\n", rect.left, rect.top, rect.right - rect.left,
                   rect.bottom - rect.top, IsWindowVisible(control) ? "shown" : "hidden",
                   IsWindowEnabled(control) ? "enabled" : "disabled");
            fflush(stdout);
        } else if (strcmp(step, "click") == 0 || strcmp(step, "seen") == 0 || strcmp(step, "press") == 0) {
            // Two arguments: the title, then the control or the key.
            if (i + 2 >= argc) {
                fprintf(stderr, "wintool: %s needs a title and %s\n", step,
                        step[0] == 'p' ? "a key" : "an ID");
                return 2;
            }
            const char* second = argv[++i + 1];
            if (step[0] != 'p') {
                int id = atoi(second);
                HWND control = nullptr;
                if (!WaitFor([&] {
                        window = FindWindowA(nullptr, argument);
                        control = window ? GetDlgItem(window, id) : nullptr;
                        return control && IsWindowVisible(control);
                    }))
                    return Fail("no visible control in the window", argument);
                if (step[0] == 'c')
                    PostMessageA(control, BM_CLICK, 0, 0);
            } else {
                WPARAM key = strcmp(second, "escape") == 0   ? VK_ESCAPE
                             : strcmp(second, "return") == 0 ? VK_RETURN
                                                             : 0;
                if (!key) {
                    fprintf(stderr, "wintool: unknown key '%s'\n", second);
                    return 2;
                }
                if (!WaitFor([&] {
                        window = FindWindowA(nullptr, argument);
                        return window && IsWindowVisible(window);
                    }))
                    return Fail("no window", argument);
                PostMessageA(window, WM_KEYDOWN, key, 1);
                PostMessageA(window, WM_KEYUP, key, 0xC0000001);
            }
        } else if (strcmp(step, "lock") == 0) {
            if (i + 2 >= argc) {
                fprintf(stderr, "wintool: lock needs a file and milliseconds\n");
                return 2;
            }
            DWORD hold = static_cast<DWORD>(atoi(argv[++i + 1]));
            // Another program that has the file open and shares nothing: no read, write or delete.
            HANDLE file = CreateFileA(argument, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
            if (file == INVALID_HANDLE_VALUE)
                return Fail("cannot lock", argument);
            printf("locked\n");
            fflush(stdout);
            Sleep(hold);
            CloseHandle(file);
        } else if (strcmp(step, "own") == 0) {
            if (i + 2 >= argc) {
                fprintf(stderr, "wintool: own needs a mutex name and milliseconds\n");
                return 2;
            }
            DWORD hold = static_cast<DWORD>(atoi(argv[++i + 1]));
            // A program that takes the named mutex and hangs with it.
            HANDLE mutex = CreateMutexA(nullptr, TRUE, argument);
            if (!mutex || GetLastError() == ERROR_ALREADY_EXISTS)
                return Fail("cannot own", argument);
            printf("owned\n");
            fflush(stdout);
            Sleep(hold);
            ReleaseMutex(mutex);
            CloseHandle(mutex);
        } else if (strcmp(step, "gone") == 0) {
            if (!WaitFor([&] { return !ProcessRuns(argument); }))
                return Fail("still running:", argument);
            printf("gone after %lu ms\n", GetTickCount() - stepEnded);
            fflush(stdout);
        } else {
            fprintf(stderr, "wintool: unknown step '%s'\n", step);
            return 2;
        }
    }
    return 0;
}
