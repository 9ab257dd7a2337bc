// Letting Windows' own device installation settle before the installer switches the device or updates one
// of its drivers: Windows installs a device's interfaces on its own schedule, and a switch or an update that
// meets a pending installation can find it half done ("another installation is in progress").
#pragma once

#include <windows.h>

#include <string>

// The longest wait for the pending installations, in ms of the program's time.
constexpr DWORD kSettleLimit = 30000;
// A wait shorter than this found nothing pending: the call itself takes a moment.
constexpr DWORD kSettledAtOnce = 100;

// Waits (CMP_WaitNoPendingInstallEvents, up to kSettleLimit) until Windows has no device installation
// pending, and logs it when it had to wait, gave up or failed. Windows 2000 lacks the call: there it does
// nothing, and the fixed pauses stand alone.
void LetDeviceInstallationSettle();

// The log line of one wait ("" when nothing was pending), from the call's result (WAIT_OBJECT_0,
// WAIT_TIMEOUT, anything else a failure, told with error, the last error after it), the time it took and its
// limit.
std::string SettleLogLine(DWORD result, DWORD error, DWORD elapsed, DWORD limit);
