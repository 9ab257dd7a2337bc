#include "device_settle.h"

#include "common/clock.h"
#include "common/edition.h"
#include "common/log.h"
#include "common/newer_api.h"
#include "common/profile.h"
#include "common/text.h"

std::string SettleLogLine(DWORD result, DWORD error, DWORD elapsed, DWORD limit) {
    char line[200] = {};
    switch (result) {
    case WAIT_OBJECT_0:
        if (elapsed < kSettledAtOnce)
            return ""; // nothing was pending: nothing to tell
        FormatBounded(line, sizeof line, "INFO: Device installation settled after a wait of %lu ms", elapsed);
        break;
    case WAIT_TIMEOUT:
        FormatBounded(line, sizeof line,
                      "WARN: Device installation still pending after %lu ms (limit %lu ms), going on",
                      elapsed, limit);
        break;
    default:
        FormatBounded(line, sizeof line,
                      "ERROR: CMP_WaitNoPendingInstallEvents fail.LastError:%lu (answer %lu), going on",
                      error, result);
        break;
    }
    return line;
}

void LetDeviceInstallationSettle() {
    if (g_nEdition == kEditionWin2000)
        return; // Windows 2000 lacks the call: the fixed pause stands alone
    auto wait = GetDeviceInstallApi().CMP_WaitNoPendingInstallEvents;
    if (!wait) {
        WriteLog("INFO: Windows cannot tell pending device installations here; the pause alone");
        return;
    }
    DWORD start = ClockTickCount();
    DWORD result = wait(ClockRealMilliseconds(kSettleLimit));
    DWORD error = GetLastError();
    std::string line = SettleLogLine(result, error, ClockTickCount() - start, kSettleLimit);
    if (!line.empty())
        WriteLog("%s", line.c_str());
}
