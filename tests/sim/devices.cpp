// Device nodes, made and removed the way Windows' own device installers do it.
#include "owners.h"
#include "simpc.h"

#include <cstring>

namespace sim {

namespace {

const struct {
    const char* name;
    GUID guid;
} kClasses[] = {
    {"USB", {0x36FC9E60, 0xC465, 0x11CF, {0x80, 0x56, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}}},
    {"Modem", {0x4D36E96D, 0xE325, 0x11CE, {0xBF, 0xC1, 0x08, 0x00, 0x2B, 0xE1, 0x03, 0x18}}},
    {"Ports", {0x4D36E978, 0xE325, 0x11CE, {0xBF, 0xC1, 0x08, 0x00, 0x2B, 0xE1, 0x03, 0x18}}},
    {"CDROM", {0x4D36E965, 0xE325, 0x11CE, {0xBF, 0xC1, 0x08, 0x00, 0x2B, 0xE1, 0x03, 0x18}}},
    {"DiskDrive", {0x4D36E967, 0xE325, 0x11CE, {0xBF, 0xC1, 0x08, 0x00, 0x2B, 0xE1, 0x03, 0x18}}},
    {"Net", {0x4D36E972, 0xE325, 0x11CE, {0xBF, 0xC1, 0x08, 0x00, 0x2B, 0xE1, 0x03, 0x18}}},
    {"Volume", {0x71A27CDD, 0x812A, 0x11D0, {0xBE, 0xC7, 0x08, 0x00, 0x2B, 0xE2, 0x09, 0x2F}}},
    {"AndroidUsbDeviceClass", {0x3F966BD9, 0xFA04, 0x4EC5, {0x99, 0x1C, 0xD3, 0x26, 0x97, 0x3B, 0x51, 0x28}}},
};

// enumerator\device\instance, none of them empty: SetupAPI takes any text, Windows would not.
bool IsFullInstanceId(const std::string& id) {
    size_t first = id.find('\\');
    if (first == std::string::npos || first == 0)
        return false;
    size_t second = id.find('\\', first + 1);
    return second != std::string::npos && second > first + 1 && second + 1 < id.size() &&
           id.find('\\', second + 1) == std::string::npos;
}

Result SetIdList(HDEVINFO set, SP_DEVINFO_DATA* device, DWORD property, const std::vector<std::string>& ids,
                 const char* instanceId) {
    if (ids.empty())
        return Result(); // a node without the property, as some devices are
    std::string image = MultiSz(ids);
    if (!SetupDiSetDeviceRegistryPropertyA(set, device, property, reinterpret_cast<const BYTE*>(image.data()),
                                           static_cast<DWORD>(image.size())))
        return Result::Fail("cannot set the %s IDs of %s: %s",
                            property == SPDRP_HARDWAREID ? "hardware" : "compatible", instanceId,
                            DescribeError(GetLastError()).c_str());
    return Result();
}

Result AddToSet(HDEVINFO set, const GUID& guid, const char* instanceId,
                const std::vector<std::string>& hardwareIds, const std::vector<std::string>& compatibleIds) {
    if (!IsFullInstanceId(instanceId))
        return Result::Fail("'%s' is not a full instance ID (ENUMERATOR\\DEVICE\\INSTANCE)", instanceId);
    SP_DEVINFO_DATA device = {};
    device.cbSize = sizeof device;
    if (!SetupDiCreateDeviceInfoA(set, instanceId, &guid, nullptr, nullptr, 0, &device)) {
        DWORD error = GetLastError();
        if (error == ERROR_DEVINST_ALREADY_EXISTS)
            return Result::Fail("device node %s exists already", instanceId);
        return Result::Fail("cannot create device node %s: %s", instanceId, DescribeError(error).c_str());
    }
    Result result = SetIdList(set, &device, SPDRP_HARDWAREID, hardwareIds, instanceId);
    if (result)
        result = SetIdList(set, &device, SPDRP_COMPATIBLEIDS, compatibleIds, instanceId);
    if (result && !SetupDiRegisterDeviceInfo(set, &device, 0, nullptr, nullptr, nullptr))
        result = Result::Fail("cannot register device node %s: %s", instanceId,
                              DescribeError(GetLastError()).c_str());
    if (!result)
        SetupDiDeleteDeviceInfo(set, &device); // the half-made node goes with the set
    return result;
}

// One multi-string property of a device; false when the device has none.
bool ReadIdList(HDEVINFO set, SP_DEVINFO_DATA* device, DWORD property, std::vector<std::string>* ids) {
    std::string buffer(256, '\0');
    for (;;) {
        DWORD needed = 0;
        if (SetupDiGetDeviceRegistryPropertyA(set, device, property, nullptr,
                                              reinterpret_cast<BYTE*>(&buffer[0]),
                                              static_cast<DWORD>(buffer.size()), &needed)) {
            *ids = SplitMultiSz(buffer.data(), needed < buffer.size() ? needed : buffer.size());
            return true;
        }
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || needed <= buffer.size())
            return false;
        buffer.assign(needed, '\0');
    }
}

bool ReadInstanceId(HDEVINFO set, SP_DEVINFO_DATA* device, std::string* id) {
    DWORD needed = 0;
    SetupDiGetDeviceInstanceIdA(set, device, nullptr, 0, &needed);
    if (needed == 0)
        return false;
    std::string buffer(needed, '\0');
    if (!SetupDiGetDeviceInstanceIdA(set, device, &buffer[0], needed, nullptr))
        return false;
    *id = buffer.c_str();
    return true;
}

Result RemoveFromSet(HDEVINFO set, SP_DEVINFO_DATA* device, const char* instanceId) {
    // Wine's SetupDiSetClassInstallParamsA refuses SP_REMOVEDEVICE_PARAMS; without them the removal is
    // global, which is what we want.
    if (!SetupDiCallClassInstaller(DIF_REMOVE, set, device))
        return Result::Fail("cannot remove device node %s: %s", instanceId,
                            DescribeError(GetLastError()).c_str());
    return Result();
}

} // namespace

bool DeviceClassGuid(const char* className, GUID* guid) {
    if (!className)
        return false;
    for (const auto& known : kClasses) {
        if (EqualsIgnoreCase(className, known.name)) {
            *guid = known.guid;
            return true;
        }
    }
    return ParseGuid(className, guid);
}

std::string DeviceClassName(const GUID& guid) {
    for (const auto& known : kClasses) {
        if (IsEqualGUID(guid, known.guid))
            return known.name;
    }
    char text[40];
    FormatBounded(text, sizeof text, "{%08lX-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", guid.Data1,
                  guid.Data2, guid.Data3, guid.Data4[0], guid.Data4[1], guid.Data4[2], guid.Data4[3],
                  guid.Data4[4], guid.Data4[5], guid.Data4[6], guid.Data4[7]);
    return text;
}

Result AddDevice(const DeviceNode& node) {
    GUID guid;
    if (!DeviceClassGuid(node.className.c_str(), &guid))
        return Result::Fail("unknown device class '%s'", node.className.c_str());
    ScopedDevInfo set(SetupDiCreateDeviceInfoList(&guid, nullptr));
    if (!set)
        return Result::Fail("cannot make a device information set: %s",
                            DescribeError(GetLastError()).c_str());
    return AddToSet(set.Get(), guid, node.instanceId.c_str(), node.hardwareIds, node.compatibleIds);
}

Result AddNumberedDevices(const DeviceNode& pattern, int count, int first) {
    if (pattern.instanceId.find('#') == std::string::npos)
        return Result::Fail("the instance ID '%s' holds no '#' for the node's number",
                            pattern.instanceId.c_str());
    if (count < 0 || first < 0)
        return Result::Fail("a count and a first number cannot be negative");
    GUID guid;
    if (!DeviceClassGuid(pattern.className.c_str(), &guid))
        return Result::Fail("unknown device class '%s'", pattern.className.c_str());
    // One set for all of them: a set per node would cost a registry walk each.
    ScopedDevInfo set(SetupDiCreateDeviceInfoList(&guid, nullptr));
    if (!set)
        return Result::Fail("cannot make a device information set: %s",
                            DescribeError(GetLastError()).c_str());
    char text[512];
    auto numbered = [&](const std::vector<std::string>& ids, int number, std::vector<std::string>* out) {
        out->clear();
        for (const std::string& id : ids) {
            if (!NumberedText(id.c_str(), number, text, sizeof text))
                return false;
            out->push_back(text);
        }
        return true;
    };
    std::vector<std::string> hardwareIds, compatibleIds;
    for (int number = first; number < first + count; ++number) {
        if (!numbered(pattern.hardwareIds, number, &hardwareIds) ||
            !numbered(pattern.compatibleIds, number, &compatibleIds) ||
            !NumberedText(pattern.instanceId.c_str(), number, text, sizeof text))
            return Result::Fail("the IDs of node %d do not fit in %u characters", number,
                                static_cast<unsigned>(sizeof text - 1));
        Result result = AddToSet(set.Get(), guid, text, hardwareIds, compatibleIds);
        if (!result)
            return result;
    }
    return Result();
}

Result RemoveDevice(const char* instanceId) {
    ScopedDevInfo set(SetupDiCreateDeviceInfoList(nullptr, nullptr));
    if (!set)
        return Result::Fail("cannot make a device information set: %s",
                            DescribeError(GetLastError()).c_str());
    SP_DEVINFO_DATA device = {};
    device.cbSize = sizeof device;
    if (!SetupDiOpenDeviceInfoA(set.Get(), instanceId, nullptr, 0, &device))
        return Result::Fail("no device node %s: %s", instanceId, DescribeError(GetLastError()).c_str());
    return RemoveFromSet(set.Get(), &device, instanceId);
}

Result RemoveDevicesWithHardwareId(const char* hardwareId, int* removed) {
    if (removed)
        *removed = 0;
    // Not only the present ones: a node left behind unplugged would come back in the next test's listing.
    ScopedDevInfo set(SetupDiGetClassDevsA(nullptr, nullptr, nullptr, DIGCF_ALLCLASSES));
    if (!set)
        return Result::Fail("cannot list the device nodes: %s", DescribeError(GetLastError()).c_str());
    SP_DEVINFO_DATA device = {};
    device.cbSize = sizeof device;
    // Removal keeps the set's order (the node stays in the set, gone from the system), so the index walks on.
    for (DWORD index = 0; SetupDiEnumDeviceInfo(set.Get(), index, &device); ++index) {
        std::vector<std::string> ids;
        if (!ReadIdList(set.Get(), &device, SPDRP_HARDWAREID, &ids))
            continue;
        bool matches = false;
        for (const std::string& id : ids)
            matches = matches || EqualsIgnoreCase(id.c_str(), hardwareId);
        if (!matches)
            continue;
        std::string instanceId;
        ReadInstanceId(set.Get(), &device, &instanceId);
        Result result = RemoveFromSet(set.Get(), &device, instanceId.c_str());
        if (!result)
            return result;
        if (removed)
            ++*removed;
    }
    return Result();
}

Result ListDevices(std::vector<DeviceNode>* nodes) {
    nodes->clear();
    ScopedDevInfo set(SetupDiGetClassDevsA(nullptr, nullptr, nullptr, DIGCF_PRESENT | DIGCF_ALLCLASSES));
    if (!set)
        return Result::Fail("cannot list the device nodes: %s", DescribeError(GetLastError()).c_str());
    SP_DEVINFO_DATA device = {};
    device.cbSize = sizeof device;
    for (DWORD index = 0; SetupDiEnumDeviceInfo(set.Get(), index, &device); ++index) {
        DeviceNode node;
        if (!ReadInstanceId(set.Get(), &device, &node.instanceId))
            continue;
        ReadIdList(set.Get(), &device, SPDRP_HARDWAREID, &node.hardwareIds);
        ReadIdList(set.Get(), &device, SPDRP_COMPATIBLEIDS, &node.compatibleIds);
        node.className = DeviceClassName(device.ClassGuid);
        nodes->push_back(node);
    }
    return Result();
}

} // namespace sim
