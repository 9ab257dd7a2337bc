// newdev.dll double, put in the system folder of a scenario's prefix (where the installer loads the library
// from) and loaded instead of Wine's own (WINEDLLOVERRIDES=newdev=n), whose
// UpdateDriverForPlugAndPlayDevicesA answers TRUE to anything. Journals each call:
//   UpdateDriverForPlugAndPlayDevicesA <hardware ID> <INF path> <flags>
// and answers from newdev.ini, the section of the hardware ID first, then [Default]:
//   [Default]                      [usb\vid_1a2b&pid_0001&mi_00]
//   Result=1                       Result=0
//   LastError=0                    LastError=3758096899   ; ERROR_NO_SUCH_DEVINST (0xE000020B)
//   Reboot=0
#include "../double.h"

#include <windows.h>

#include <string>

namespace {

int Setting(const char* hardwareId, const char* key, int fallback) {
    int general = DoubleAnswer("Default", key, fallback);
    return DoubleAnswer(hardwareId, key, general);
}

} // namespace

extern "C" BOOL WINAPI UpdateDriverForPlugAndPlayDevicesA(HWND, LPCSTR hardwareId, LPCSTR infPath,
                                                          DWORD flags, PBOOL rebootRequired) {
    const char* id = hardwareId ? hardwareId : "(null)";
    Journal(std::string("UpdateDriverForPlugAndPlayDevicesA ") + id + " " + (infPath ? infPath : "(null)") +
            " " + std::to_string(flags));
    if (rebootRequired)
        *rebootRequired = Setting(id, "Reboot", 0) ? TRUE : FALSE;
    BOOL result = Setting(id, "Result", 1) ? TRUE : FALSE;
    if (!result)
        SetLastError(static_cast<DWORD>(Setting(id, "LastError", ERROR_GEN_FAILURE)));
    return result;
}
