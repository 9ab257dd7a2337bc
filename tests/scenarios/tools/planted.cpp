// A library that another program of the PC could put beside a program under the name of a library that the
// program or the system's libraries load: loaded, it writes its own path to C:\planted-libraries.txt, so
// that a scenario can tell whether it was.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
    if (reason != DLL_PROCESS_ATTACH)
        return TRUE;
    char path[MAX_PATH] = {};
    DWORD length = GetModuleFileNameA(self, path, MAX_PATH - 1);
    HANDLE journal =
        CreateFileA("C:\\planted-libraries.txt", FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (journal != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        WriteFile(journal, path, length, &written, nullptr);
        WriteFile(journal, "\r\n", 2, &written, nullptr);
        CloseHandle(journal);
    }
    return TRUE;
}
