#include "switch_check.h"

#include "instoria_dlg.h"

#include "common/clock.h"
#include "common/devices.h"
#include "common/log.h"
#include "common/profile.h"
#include "common/text.h"

#include <cstdlib>
#include <cstring>

namespace {

const char kSwitchSection[] = "Switch";

// A whole decimal number within [low, high]; otherwise the default, logged.
int SettingWithin(const char* key, const char* text, int low, int high, int fallback) {
    if (!text)
        return fallback;
    int value = 0;
    size_t digits = strspn(text, "0123456789");
    bool number = digits > 0 && digits <= 3 && text[digits] == '\0';
    if (number)
        value = atoi(text);
    if (!number || value < low || value > high) {
        WriteLog("ERR: [Switch] %s=%s is not a number from %d to %d; %d is used", key, text, low, high,
                 fallback);
        return fallback;
    }
    return value;
}

// A value of [Switch], quietly absent: most media have no such section.
bool ReadSwitchValue(const char* key, const std::string& profilePath, std::string& value) {
    char text[64] = {};
    GetPrivateProfileStringA(kSwitchSection, key, kDefaultReadString, text, sizeof text, profilePath.c_str());
    value = text;
    return value != kDefaultReadString;
}

SwitchedIdentity LookOnce() {
    const DeviceProfileData& profile = DeviceProfile;
    std::vector<DeviceQuery> queries = {
        {profile.ModemHwId, ""}, {profile.SerialHwId, ""}, {profile.ProductId, profile.MassCmpId}};
    std::vector<bool> found;
    SwitchedIdentity seen;
    if (!FindPresentDevices(queries, found))
        return seen;
    // An interface the profile does not name is not waited for.
    seen.ports = (found[0] || profile.ModemHwId.empty()) && (found[1] || profile.SerialHwId.empty());
    seen.storage = found[2];
    return seen;
}

} // namespace

SwitchSettings ParseSwitchSettings(const char* retries, const char* portsWait) {
    SwitchSettings settings;
    settings.retries = SettingWithin("Retries", retries, 0, 9, settings.retries);
    settings.portsWaitSeconds = SettingWithin("PortsWait", portsWait, 1, 120, settings.portsWaitSeconds);
    return settings;
}

SwitchSettings ReadSwitchSettings(const std::string& profilePath) {
    std::string retries, portsWait;
    bool hasRetries = ReadSwitchValue("Retries", profilePath, retries);
    bool hasWait = ReadSwitchValue("PortsWait", profilePath, portsWait);
    return ParseSwitchSettings(hasRetries ? retries.c_str() : nullptr, hasWait ? portsWait.c_str() : nullptr);
}

SwitchLook DecideSwitchLook(const SwitchedIdentity& seen, DWORD elapsed, DWORD limit) {
    if (seen.ports)
        return SwitchLook::kPortsCame;
    if (seen.storage)
        return SwitchLook::kCameBackUnswitched;
    return elapsed >= limit ? SwitchLook::kNothingInTime : SwitchLook::kNotYet;
}

bool LookForSwitchedIdentity(CInstoriaDlg& dlg, const SwitchSettings& settings, SwitchLook& look) {
    DWORD limit = static_cast<DWORD>(settings.portsWaitSeconds) * 1000;
    DWORD start = ClockTickCount();
    for (;;) {
        look = DecideSwitchLook(LookOnce(), ClockTickCount() - start, limit);
        if (look != SwitchLook::kNotYet)
            break;
        if (!dlg.WorkerPause(500))
            return false;
    }
    switch (look) {
    case SwitchLook::kPortsCame:
        WriteLog("The device came back switched: its modem and serial ports are present");
        break;
    case SwitchLook::kCameBackUnswitched:
        WriteLog("The device came back unswitched: its storage identity is present");
        break;
    default:
        WriteLog("Neither the device's ports nor its storage identity came within %d s",
                 settings.portsWaitSeconds);
        break;
    }
    return true;
}
