// The launcher's start-up: one pass, before any window, that ends the program, hands the device to the
// installer, or shows the launcher window.
#pragma once

#include "framework/app.h"

class CPalvioApp : public CWinApp {
public:
    BOOL InitInstance() override;
};

// The questions of the last part of start-up, once the launcher knows it is alone, the profile is read, no
// install is under way and the device is not a card reader. Separated from their answers so that every
// road can be tested (under Wine the account is always an administrator).
class LaunchProbe {
public:
    virtual ~LaunchProbe() = default;
    // Whether the device shows its storage identity (the one it has before its drivers are in Windows).
    virtual int StorageModePresent() = 0;
    // Whether the device's driver files are in Windows already.
    virtual int DriverFilesInstalled() = 0;
    // Whether the user may do administrator work.
    virtual int IsAdministrator() = 0;
    // Whether a companion application runs.
    virtual int ApplicationRunning() = 0;
};

enum class LaunchRoad {
    kSwitchPorts,       // the drivers are in Windows: the staged installer only switches the device (mode 5)
    kWindow,            // the launcher window
    kEndQuietly,        // an application runs and the device has left its storage identity: nothing to do
    kInstallForRunning, // an application runs, the device still shows its storage identity (mode 4)
};

// Which road start-up takes, asking the probe only what the road depends on, in this order: storage identity,
// then (with it) the driver files, then (with those) the administrator, then the applications.
LaunchRoad ChooseLaunchRoad(LaunchProbe& probe);
