// wintool: what a person at the simulated PC does with the windows the programs show, for the scenario
// scripts. Several steps may follow each other on one command line (one program start serves them all);
// each waits up to WINTOOL_SECONDS (default 60) for what it needs.
//
//   answer TITLE   a message box of that caption, once shown: prints "text <its message>", then presses OK
//   close TITLE    a top-level window of that title, once shown: posts WM_CLOSE to it
//   wait TITLE     a top-level window of that title shows
//   gone NAME      no process of that executable file name runs any more
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
    if (argc < 3 || argc % 2 == 0) {
        fprintf(stderr, "usage: wintool answer|close|wait|gone ARGUMENT [...]\n");
        return 2;
    }
    for (int i = 1; i + 1 < argc; i += 2) {
        const char* step = argv[i];
        const char* argument = argv[i + 1];
        HWND window = nullptr;
        if (strcmp(step, "answer") == 0) {
            // A message box is a dialog of the system's dialog class; its text sits in control 0xFFFF.
            // The box exists before its set-up has filled it in; it shows once that is done.
            if (!WaitFor([&] {
                    window = FindWindowA("#32770", argument);
                    return window && IsWindowVisible(window);
                }))
                return Fail("no message box", argument);
            HWND message = GetDlgItem(window, 0xFFFF);
            printf("text %s\n", message ? TextOf(message).c_str() : "");
            fflush(stdout);
            PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                         reinterpret_cast<LPARAM>(GetDlgItem(window, IDOK)));
        } else if (strcmp(step, "close") == 0 || strcmp(step, "wait") == 0) {
            // Shown means set up: a dialog shows once its initialisation is over.
            if (!WaitFor([&] {
                    window = FindWindowA(nullptr, argument);
                    return window && IsWindowVisible(window);
                }))
                return Fail("no window", argument);
            if (step[0] == 'c')
                PostMessageA(window, WM_CLOSE, 0, 0);
        } else if (strcmp(step, "gone") == 0) {
            if (!WaitFor([&] { return !ProcessRuns(argument); }))
                return Fail("still running:", argument);
        } else {
            fprintf(stderr, "wintool: unknown step '%s'\n", step);
            return 2;
        }
    }
    return 0;
}
