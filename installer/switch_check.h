// Whether the device switched, told by its identity once its CD-ROM letter has come back: the letter alone
// also comes back when the device re-attaches in its CD-ROM mode.
#pragma once

#include <windows.h>

#include <string>

class CInstoriaDlg;

// [Switch] of drvcfg.ini: Retries (0 to 9, default 0), how often the switch is sent again when the device
// came back unswitched; PortsWait (1 to 120 seconds, default 10), how long the ports are looked for.
struct SwitchSettings {
    int retries = 0;
    int portsWaitSeconds = 10;
};
// The settings from the profile; a value out of its range or not a number is logged and its default used.
SwitchSettings ReadSwitchSettings(const std::string& profilePath);
// The same from the values' texts (null: the key is missing).
SwitchSettings ParseSwitchSettings(const char* retries, const char* portsWait);

// What one look at the present devices found.
struct SwitchedIdentity {
    bool ports = false;   // the profile's modem and serial interfaces
    bool storage = false; // the device's storage identity
};
enum class SwitchLook { kPortsCame, kCameBackUnswitched, kNotYet, kNothingInTime };
// The ports decide even beside the storage identity; neither within the limit is nothing in time.
SwitchLook DecideSwitchLook(const SwitchedIdentity& seen, DWORD elapsed, DWORD limit);

// Looks every 500 ms, up to the settings' wait, and logs what came. False when the worker is to stop.
bool LookForSwitchedIdentity(CInstoriaDlg& dlg, const SwitchSettings& settings, SwitchLook& look);
