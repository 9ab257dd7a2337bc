// The install worker: the thread that the installer window starts while the device shows its storage
// (CD-ROM) identity. In order: the TCP receive window; the driver files (unless the run mode is 5: close the
// medium's folder windows, end the launcher, remove the old drivers, place the package's); a five-second
// pause; the device's mode switch; the removal of its CD-ROM node and the wait for its drive letter to go and
// come back; the status mark for the launcher; the look at the device's identity (its ports, or its storage
// identity again: then the switch is sent again as often as [Switch] Retries allows); then the final window
// (run modes 0 and 4) or the start-up tool. A failed step ends the program through the window; nothing is
// undone here.
#pragma once

#include "common/text.h"

#include <windows.h>

class CInstoriaDlg;

// The thread: its parameter is the window object. 1 when it reached its last step, 0 after a failure or a
// stop.
DWORD WINAPI InstallDriverThreadProc(LPVOID parameter);
// The driver files of the package's edition folder in place of the old drivers. 1 done; 0 a step failed
// (the window has been asked to end) or the worker is to stop.
int ReplaceDrivers(CInstoriaDlg& dlg);
// The final window: the after-install text for at most 8 s, less when its exit button is clicked.
void FinishInstall(CInstoriaDlg& dlg);

// Run modes: 5 switches the device only (no driver files, no status mark); 0 and 4 end with the final
// window, every other with the start-up tool.
bool SwitchesOnly(int runMode);
bool EndsWithFinalWindow(int runMode);
