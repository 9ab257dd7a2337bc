// The device's switch from its CD-ROM mode to its multi-port mode, as the install worker runs it: the TCP
// receive window it sets first, the request to the device (portflip.exe), the wait for the CD-ROM drive
// letter to go and come back (the device has re-attached in its new mode), and the start-up tool
// (Bootrel.exe) that some run modes start at the end. Both tools lie beside the installer.
#pragma once

#include "common/text.h"

#include <windows.h>

class CInstoriaDlg;

// TcpWindowSize = 0x00020000 under the TCP/IP parameters (the key made when missing); failures are logged
// and otherwise not looked at.
void SetTcpReceiveWindow();
// How long the switch tool may take. It normally ends within seconds; one that hangs (a device that does not
// answer it) would otherwise keep the always-on-top window up for good. A tool still running at the limit
// is left running and counts as one that could not be started.
constexpr DWORD kSwitchToolLimit = 60000;
// Runs portflip.exe -switch -cdrom:<drive> and waits for it, kSwitchToolLimit at most. 1 it ran (its exit
// code is not looked at); 0 it could not be started or did not end in time (the window is asked to end
// after 2 s) or the worker is to stop (the tool is not waited for any more).
int switch_3_port(CInstoriaDlg& dlg);
// Waits until the device's drive letter has gone and come back, 60 s at most for both. 1 it came back; 0
// it did not in time (the window is asked to end at once) or the worker is to stop.
int WaitCdromCycle(CInstoriaDlg& dlg);
// Starts Bootrel.exe with the run mode, hidden, in the temp folder, without waiting, then asks the window
// to end the program whether or not the tool started. 1.
int RunStartupProgram(CInstoriaDlg& dlg);

// The pieces that need no device.
// portflip's parameters for the drive: "-switch -cdrom:E:". False when they do not fit.
bool SwitchParameters(const char* drive, char (&parameters)[kPathRoom]);

// The world as the drive-letter wait sees it, so that its timing can be played without waiting.
class CdromWatch {
public:
    virtual ~CdromWatch() = default;
    virtual bool DrivePresent() = 0;
    virtual DWORD Now() = 0; // milliseconds; wraps like GetTickCount
    // False when the worker is to stop.
    virtual bool Pause(DWORD milliseconds) = 0;
    // The letter has gone.
    virtual void Gone() = 0;
};
enum class CdromCycle { kCameBack, kNeverWent, kNeverCameBack, kStopped };
constexpr DWORD kCdromCycleLimit = 60000;
// Polls every 500 ms until the letter has gone, pauses 1 s, polls until it is back; the limit counts from
// the start over both waits. *elapsed: milliseconds from the start when the limit was found passed.
CdromCycle WatchCdromCycle(CdromWatch& watch, DWORD* elapsed);
