// Plug-in library double (PalvioPlugin.dll): its 13 entry points journal every call in order and answer
// from PalvioPlugin.ini beside it:
//   [Answers]
//   InitialDllPara=1
//   CheckPalvioPrgInstall=0,1     ; answers in call order; the last one repeats
//   Crash=CheckPalvioIsRunning    ; that entry point writes through a null pointer instead of answering
//   Pump=InstallPalvio,6000       ; that entry point dispatches the thread's messages for 6000 ms before it
//                                 ; answers, as a library that shows a window of its own does
// An entry point without a line answers 0, except InitialDllPara, which answers 1. Its loading and its
// release are journaled too ("loaded"; "freed" by FreeLibrary, "process ended" when the process ends while
// holding it), so that a scenario sees whether the program let the library go. Built a second time without
// the export DialIsEnable, as a library that lacks one entry point.
#include "../double.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <map>
#include <string>

namespace {

// How often each entry point was called in this process.
std::map<std::string, int> g_calls;

// Dispatches the calling thread's messages for ms milliseconds, as a modal loop of the library would; a quit
// message is left for the caller's own loop.
void PumpMessages(DWORD ms) {
    DWORD start = GetTickCount();
    for (DWORD elapsed; (elapsed = GetTickCount() - start) < ms;) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, ms - elapsed, QS_ALLINPUT);
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(message.wParam));
                return;
            }
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
}

int Answer(const char* entry, int fallback) {
    int call = g_calls[entry]++;
    char list[256] = {};
    std::string ini = DoublePath();
    ini = ini.substr(0, ini.rfind('.')) + ".ini";
    GetPrivateProfileStringA("Answers", "Crash", "", list, sizeof list, ini.c_str());
    if (strcmp(list, entry) == 0) {
        Journal(std::string(entry) + " crashes");
        // Through a pointer the compiler cannot see to be null: a plain null store would be built as a trap
        // (an illegal instruction), not as the access violation a faulty library causes.
        volatile int* volatile target = nullptr;
        *target = 0;
    }
    GetPrivateProfileStringA("Answers", entry, "", list, sizeof list, ini.c_str());
    int answer = fallback;
    const char* at = list;
    for (int i = 0; *at; ++i) {
        answer = atoi(at);
        const char* comma = strchr(at, ',');
        if (i == call || !comma)
            break;
        at = comma + 1;
    }
    // The pump comes after the answer is read: the library's folder may be gone by its end.
    GetPrivateProfileStringA("Answers", "Pump", "", list, sizeof list, ini.c_str());
    const char* comma = strchr(list, ',');
    if (comma && std::string(list, comma - list) == entry) {
        DWORD ms = strtoul(comma + 1, nullptr, 10);
        Journal(std::string(entry) + " pumps messages for " + std::to_string(ms) + " ms");
        PumpMessages(ms);
    }
    Journal(std::string(entry) + " -> " + std::to_string(answer));
    return answer;
}

} // namespace

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH)
        Journal("loaded");
    else if (reason == DLL_PROCESS_DETACH)
        Journal(reserved ? "process ended" : "freed");
    return TRUE;
}

extern "C" {

int InitialDllPara(const char* libraryPath) {
    Journal(std::string("InitialDllPara ") + (libraryPath ? libraryPath : "(null)"));
    return Answer("InitialDllPara", 1);
}

#define QUERY_ENTRY(name)                                                                                    \
    int name() {                                                                                             \
        return Answer(#name, 0);                                                                             \
    }
QUERY_ENTRY(CheckPalvioPrgInstall)
QUERY_ENTRY(InstallPalvio)
QUERY_ENTRY(UpdatePalvio)
QUERY_ENTRY(RunPalvio)
QUERY_ENTRY(CheckPalvioIsRunning)
QUERY_ENTRY(PalvioIsEnable)
QUERY_ENTRY(CheckDialPrgInstall)
QUERY_ENTRY(InstallDialPrg)
QUERY_ENTRY(UpdateDial)
QUERY_ENTRY(RunDial)
QUERY_ENTRY(CheckDialIsRunning)
QUERY_ENTRY(DialIsEnable)

} // extern "C"
