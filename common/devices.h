// Which identities of the device are attached, and whether their drivers are older than the package's.
// Every probe walks all present devices of every class once; IDs are compared after lowering the device's
// side only, so callers pass lower-case IDs.
#pragma once

#include "device_ids.h"
#include "handles.h"

#include <windows.h>
#include <setupapi.h>

#include <string>
#include <vector>

// *absent becomes 0 when a present device has hwid among its hardware IDs and, unless compatId is null or
// empty, compatId among its compatible IDs; else 1. Answers 0 only when the device list cannot be had.
int DetectDevice(const char* hwid, const char* compatId, int* absent);

// A multi-string ID property of one device (SPDRP_HARDWAREID, SPDRP_COMPATIBLEIDS), lowered. False when the
// device has none, or it is not a multi-string.
bool ReadDeviceIdList(HDEVINFO set, SP_DEVINFO_DATA* device, DWORD property, std::vector<std::string>& ids);

// 1 when the device's compatible-ID list holds compatId.
int HasCompatibleId(HDEVINFO set, SP_DEVINFO_DATA* device, const char* compatId);

// The present devices as one enumeration found them, for a decision that looks at them more than once: each
// device's hardware IDs are read once, its compatible IDs only when a look needs them. Looks answer and log
// as DetectDevice does, on a PC that does not change while the snapshot lives.
class DeviceSnapshot {
public:
    // Enumerates the present devices; false (logged as DetectDevice logs it) when the list cannot be had.
    bool Take();
    // DetectDevice's answer and log lines, from the snapshot (taken first when it has not been).
    int Detect(const char* hwid, const char* compatId, int* absent);
    // CheckDriverVersion's answer and log lines, likewise.
    int CheckDriverVersion(const char* hwid, const std::string& version);

private:
    // Takes the snapshot unless it was; false (logged) when the device list cannot be had.
    bool Ready();
    bool CompatibleIdsHold(size_t node, const char* compatId);

    ScopedDevInfo m_set;
    bool m_taken = false;
    std::vector<SP_DEVINFO_DATA> m_devices;
    std::vector<std::vector<std::string>> m_hardwareIds;
    std::vector<std::vector<std::string>> m_compatibleIds;
    std::vector<bool> m_compatibleRead;
};

// What one look at the present devices is asked: a hardware ID and, unless empty, a compatible ID that the
// same device must hold too (lower case).
struct DeviceQuery {
    std::string hwid;
    std::string compatId;
};
// One enumeration of the present devices answers every query, without a log line (for looks that are
// repeated while waiting). False when the device list cannot be had.
bool FindPresentDevices(const std::vector<DeviceQuery>& queries, std::vector<bool>& found);

// 1 when the profile's version text is newer than the driver Windows finds for the first present device
// with hwid (an update is needed), else 0 (also when there is no such device).
int CheckDriverVersion(const char* hwid, const std::string& version);
