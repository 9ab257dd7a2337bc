// The update worker: the thread that the installer window starts instead of the install worker when the
// device shows its multi-port identity and the installed driver of at least one interface is older than the
// package's. For each outdated interface, in the order modem, serial, ADB, it deletes the stale installed
// INF copies that name the interface's hardware ID and installs the driver again from the package's
// edition folder; then it asks the user to restart the computer and ends the program. The first failed
// update is reported and ends the program; updates done before it stay.
#pragma once

#include <windows.h>

class CInstoriaDlg;

// The thread: its parameter is the window object. 1 when every update succeeded, 0 after a failure or a
// stop.
DWORD WINAPI UpdateDriverThreadProc(LPVOID parameter);
// Updates the driver of the devices with hardwareId from folder\infName. 1 updated; 0 failed (the user is
// told and the end of the program requested).
int UpdateOneDriver(const char* hardwareId, const char* folder, const char* infName, CInstoriaDlg& dlg);

// The progress step of the update worker, for that many outdated interfaces: 100 / (2 x count), so that
// the positions before and after the updates rise evenly. A count below 1 counts as 1.
int UpdateProgressStep(int outdatedCount);
