#include "devices.h"

#include "handles.h"
#include "log.h"

namespace {

ScopedDevInfo AllPresentDevices() {
    return ScopedDevInfo(SetupDiGetClassDevsA(nullptr, nullptr, nullptr, DIGCF_PRESENT | DIGCF_ALLCLASSES));
}

// The first present device, in enumeration order, with hwid among its hardware IDs and (unless compatId
// is empty) compatId among its compatible IDs.
bool FindDevice(HDEVINFO set, const char* hwid, const char* compatId, SP_DEVINFO_DATA& found) {
    SP_DEVINFO_DATA device = {};
    device.cbSize = sizeof device;
    for (DWORD index = 0; SetupDiEnumDeviceInfo(set, index, &device); ++index) {
        std::vector<std::string> ids;
        if (!ReadDeviceIdList(set, &device, SPDRP_HARDWAREID, ids))
            continue;
        for (const std::string& id : ids) {
            if (id == hwid && (!compatId || !*compatId || HasCompatibleId(set, &device, compatId))) {
                found = device;
                return true;
            }
        }
    }
    return false;
}

unsigned long long CurrentDriverVersion(HDEVINFO set, SP_DEVINFO_DATA& device) {
    // Without a compatible driver in the system the version stays 0, so any real version asks for an update.
    SetupDiBuildDriverInfoList(set, &device, SPDIT_COMPATDRIVER);
    SP_DRVINFO_DATA_V2_A driver = {};
    driver.cbSize = sizeof driver;
    unsigned long long version = 0;
    if (SetupDiEnumDriverInfoA(set, &device, SPDIT_COMPATDRIVER, 0, &driver))
        version = driver.DriverVersion;
    SetupDiDestroyDriverInfoList(set, &device, SPDIT_COMPATDRIVER);
    return version;
}

bool IdListHolds(const std::vector<std::string>& ids, const std::string& id) {
    for (const std::string& candidate : ids) {
        if (candidate == id)
            return true;
    }
    return false;
}

// Whether a device's compatible IDs hold compatId, logged either way.
int CompatibleIdAnswer(const std::vector<std::string>& ids, const char* compatId) {
    if (IdListHolds(ids, compatId)) {
        WriteLog("INF: Compared: %s...", compatId);
        return 1;
    }
    WriteLog("INF: Can't compared compatible ID: %s...", compatId);
    return 0;
}

} // namespace

bool ReadDeviceIdList(HDEVINFO set, SP_DEVINFO_DATA* device, DWORD property, std::vector<std::string>& ids) {
    // Room for a usual list at once, so that most devices cost one call rather than a call for the size
    // first.
    std::vector<BYTE> buffer(512);
    DWORD type = 0, required = 0;
    while (!SetupDiGetDeviceRegistryPropertyA(set, device, property, &type, buffer.data(),
                                              static_cast<DWORD>(buffer.size()), &required)) {
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || required <= buffer.size())
            return false;
        buffer.assign(required, 0);
    }
    if (type != REG_MULTI_SZ)
        return false;
    // The size the call tells; where it tells none, the zeroed room past the value ends the list.
    size_t length = required > 0 && required < buffer.size() ? required : buffer.size();
    ids = LoweredIdList(reinterpret_cast<const char*>(buffer.data()), length);
    return true;
}

int HasCompatibleId(HDEVINFO set, SP_DEVINFO_DATA* device, const char* compatId) {
    std::vector<std::string> ids;
    ReadDeviceIdList(set, device, SPDRP_COMPATIBLEIDS, ids); // an unreadable list holds nothing
    return CompatibleIdAnswer(ids, compatId);
}

int DetectDevice(const char* hwid, const char* compatId, int* absent) {
    *absent = 1;
    WriteLog("Begin detect device hwid(%s), comId(%s)", hwid, compatId ? compatId : "");
    ScopedDevInfo set = AllPresentDevices();
    if (!set) {
        WriteLog("ERR: SetupDiGetClassDevs error...");
        return 0;
    }
    SP_DEVINFO_DATA device;
    if (!FindDevice(set.Get(), hwid, compatId, device)) {
        WriteLog("Not finded the device(%s)", hwid);
        return 1;
    }
    *absent = 0;
    WriteLog("Finded  device(%s), SUC...", hwid);
    return 1;
}

int CheckDriverVersion(const char* hwid, const std::string& version) {
    return DeviceSnapshot().CheckDriverVersion(hwid, version);
}

bool FindPresentDevices(const std::vector<DeviceQuery>& queries, std::vector<bool>& found) {
    found.assign(queries.size(), false);
    ScopedDevInfo set = AllPresentDevices();
    if (!set)
        return false;
    SP_DEVINFO_DATA device = {};
    device.cbSize = sizeof device;
    for (DWORD index = 0; SetupDiEnumDeviceInfo(set.Get(), index, &device); ++index) {
        std::vector<std::string> hardwareIds, compatibleIds;
        if (!ReadDeviceIdList(set.Get(), &device, SPDRP_HARDWAREID, hardwareIds))
            continue;
        bool compatibleRead = false;
        for (size_t i = 0; i < queries.size(); ++i) {
            const DeviceQuery& query = queries[i];
            if (found[i] || !IdListHolds(hardwareIds, query.hwid))
                continue;
            if (!query.compatId.empty() && !compatibleRead) {
                ReadDeviceIdList(set.Get(), &device, SPDRP_COMPATIBLEIDS, compatibleIds);
                compatibleRead = true;
            }
            found[i] = query.compatId.empty() || IdListHolds(compatibleIds, query.compatId);
        }
    }
    return true;
}

bool DeviceSnapshot::Take() {
    m_taken = true;
    m_set = AllPresentDevices();
    if (!m_set) {
        WriteLog("ERR: SetupDiGetClassDevs error...");
        return false;
    }
    SP_DEVINFO_DATA device = {};
    device.cbSize = sizeof device;
    for (DWORD index = 0; SetupDiEnumDeviceInfo(m_set.Get(), index, &device); ++index) {
        std::vector<std::string> ids;
        if (!ReadDeviceIdList(m_set.Get(), &device, SPDRP_HARDWAREID, ids))
            continue; // a device without hardware IDs answers no look
        m_devices.push_back(device);
        m_hardwareIds.push_back(std::move(ids));
    }
    m_compatibleIds.assign(m_devices.size(), {});
    m_compatibleRead.assign(m_devices.size(), false);
    return true;
}

bool DeviceSnapshot::CompatibleIdsHold(size_t node, const char* compatId) {
    if (!m_compatibleRead[node]) {
        ReadDeviceIdList(m_set.Get(), &m_devices[node], SPDRP_COMPATIBLEIDS, m_compatibleIds[node]);
        m_compatibleRead[node] = true;
    }
    return CompatibleIdAnswer(m_compatibleIds[node], compatId) != 0;
}

bool DeviceSnapshot::Ready() {
    if (!m_taken)
        return Take();
    if (!m_set)
        WriteLog("ERR: SetupDiGetClassDevs error...");
    return static_cast<bool>(m_set);
}

int DeviceSnapshot::Detect(const char* hwid, const char* compatId, int* absent) {
    *absent = 1;
    WriteLog("Begin detect device hwid(%s), comId(%s)", hwid, compatId ? compatId : "");
    if (!Ready())
        return 0;
    // The same order and the same lines as a walk of the devices: every ID of a device that equals hwid is
    // one candidate for the compatible ID.
    for (size_t node = 0; node < m_devices.size(); ++node) {
        for (const std::string& id : m_hardwareIds[node]) {
            if (id == hwid && (!compatId || !*compatId || CompatibleIdsHold(node, compatId))) {
                *absent = 0;
                WriteLog("Finded  device(%s), SUC...", hwid);
                return 1;
            }
        }
    }
    WriteLog("Not finded the device(%s)", hwid);
    return 1;
}

int DeviceSnapshot::CheckDriverVersion(const char* hwid, const std::string& version) {
    WriteLog(">> Begin to Check version: device hwid is %s ; version is %s.", hwid, version.c_str());
    if (!Ready())
        return 0;
    // The first present device, in enumeration order, that has hwid among its hardware IDs.
    size_t node = 0;
    while (node < m_devices.size() && !IdListHolds(m_hardwareIds[node], hwid))
        ++node;
    if (node == m_devices.size()) {
        WriteLog("Not finded the device(%s)", hwid);
        WriteLog("<< End to Check update device ");
        return 0;
    }
    unsigned long long current = CurrentDriverVersion(m_set.Get(), m_devices[node]);
    unsigned long long latest = ParseDriverVersion(version.c_str());
    if (latest > current) {
        WriteLog("LastestDriverVersion > CurrentDriverVersion. Need update.");
        return 1;
    }
    WriteLog("LastestDriverVersion <= CurrentDriverVersion. Don`t need update.");
    return 0;
}
