#include "tests/sim/owners.h"
#include "tests/sim/simpc.h"

#include <gtest/gtest.h>

#include <map>

namespace {

struct Listed {
    std::vector<std::string> hardwareIds, compatibleIds;
    GUID classGuid;
};

std::vector<std::string> Property(HDEVINFO set, SP_DEVINFO_DATA* device, DWORD property) {
    char buffer[4096] = {};
    DWORD size = 0;
    if (!SetupDiGetDeviceRegistryPropertyA(set, device, property, nullptr, reinterpret_cast<BYTE*>(buffer),
                                           sizeof buffer - 2, &size))
        return {};
    return sim::SplitMultiSz(buffer, size);
}

// What the system under test will see: every present device of every class, read with SetupAPI directly.
std::map<std::string, Listed> PresentDevices() {
    std::map<std::string, Listed> devices;
    ScopedDevInfo set(SetupDiGetClassDevsA(nullptr, nullptr, nullptr, DIGCF_PRESENT | DIGCF_ALLCLASSES));
    EXPECT_TRUE(set) << GetLastError();
    SP_DEVINFO_DATA device = {};
    device.cbSize = sizeof device;
    for (DWORD i = 0; set && SetupDiEnumDeviceInfo(set.Get(), i, &device); ++i) {
        char id[512] = {};
        SetupDiGetDeviceInstanceIdA(set.Get(), &device, id, sizeof id, nullptr);
        Listed& listed = devices[id];
        listed.hardwareIds = Property(set.Get(), &device, SPDRP_HARDWAREID);
        listed.compatibleIds = Property(set.Get(), &device, SPDRP_COMPATIBLEIDS);
        listed.classGuid = device.ClassGuid;
    }
    return devices;
}

using Ids = std::vector<std::string>;

TEST(Devices, ACreatedNodeIsListedAsPresentWithItsIdsAndClass) {
    sim::DeviceNode node;
    node.instanceId = "USB\\VID_1A2B&PID_0001&MI_00\\6&1234&0&0000";
    node.hardwareIds = {"USB\\VID_1A2B&PID_0001&REV_0100&MI_00", "USB\\VID_1A2B&PID_0001&MI_00"};
    node.compatibleIds = {"USB\\Class_02&SubClass_02&Prot_01", "USB\\Class_02"};
    node.className = "Modem";
    sim::Result result = sim::AddDevice(node);
    ASSERT_TRUE(result) << result.Message();

    auto devices = PresentDevices();
    ASSERT_EQ(1u, devices.count(node.instanceId));
    const Listed& listed = devices[node.instanceId];
    EXPECT_EQ(node.hardwareIds, listed.hardwareIds);
    EXPECT_EQ(node.compatibleIds, listed.compatibleIds);
    GUID modem;
    ASSERT_TRUE(sim::DeviceClassGuid("Modem", &modem));
    EXPECT_TRUE(IsEqualGUID(modem, listed.classGuid));

    // The library's own listing says the same.
    std::vector<sim::DeviceNode> nodes;
    ASSERT_TRUE(sim::ListDevices(&nodes));
    bool found = false;
    for (const sim::DeviceNode& listedNode : nodes) {
        if (listedNode.instanceId != node.instanceId)
            continue;
        found = true;
        EXPECT_EQ(node.hardwareIds, listedNode.hardwareIds);
        EXPECT_EQ(node.compatibleIds, listedNode.compatibleIds);
        EXPECT_EQ("Modem", listedNode.className);
    }
    EXPECT_TRUE(found);

    result = sim::RemoveDevice(node.instanceId.c_str());
    ASSERT_TRUE(result) << result.Message();
    EXPECT_EQ(0u, PresentDevices().count(node.instanceId));
    // Gone means gone: a second removal has nothing to remove.
    result = sim::RemoveDevice(node.instanceId.c_str());
    EXPECT_FALSE(result);
    EXPECT_NE(std::string::npos, result.Message().find(node.instanceId)) << result.Message();
}

TEST(Devices, RemovalByHardwareIdTakesEveryMatchInAnyCaseAndNothingElse) {
    sim::DeviceNode first, second, other, bare;
    first.instanceId = "USB\\VID_2B2B&PID_0002\\5&AAAA&0&1";
    first.hardwareIds = {"USB\\VID_2B2B&PID_0002&REV_0000", "USB\\VID_2B2B&PID_0002"};
    second.instanceId = "USBSTOR\\CDROM&VEN_PALVIO\\7&BBBB&0";
    second.hardwareIds = {"usb\\vid_2b2b&pid_0002"};
    second.className = "CDROM";
    // Only a longer ID starting with the wanted one: no prefix match.
    other.instanceId = "USB\\VID_2B2B&PID_0002&MI_01\\6&CCCC&0&0001";
    other.hardwareIds = {"USB\\VID_2B2B&PID_0002&MI_01"};
    other.compatibleIds = {"USB\\VID_2B2B&PID_0002"};
    bare.instanceId = "ROOT\\SIMPC\\0000";
    for (const sim::DeviceNode* node : {&first, &second, &other, &bare}) {
        sim::Result result = sim::AddDevice(*node);
        ASSERT_TRUE(result) << result.Message();
    }
    int removed = -1;
    sim::Result result = sim::RemoveDevicesWithHardwareId("Usb\\Vid_2B2B&Pid_0002", &removed);
    ASSERT_TRUE(result) << result.Message();
    EXPECT_EQ(2, removed);
    auto devices = PresentDevices();
    EXPECT_EQ(0u, devices.count(first.instanceId));
    EXPECT_EQ(0u, devices.count(second.instanceId));
    EXPECT_EQ(1u, devices.count(other.instanceId));
    ASSERT_EQ(1u, devices.count(bare.instanceId));
    EXPECT_TRUE(devices[bare.instanceId].hardwareIds.empty());

    EXPECT_TRUE(sim::RemoveDevicesWithHardwareId("USB\\VID_2B2B&PID_0002", &removed));
    EXPECT_EQ(0, removed);
    EXPECT_TRUE(sim::RemoveDevice(other.instanceId.c_str()));
    EXPECT_TRUE(sim::RemoveDevice(bare.instanceId.c_str()));
}

TEST(Devices, WhatWindowsWouldRefuseIsRefused) {
    sim::DeviceNode node;
    node.instanceId = "USB\\VID_3C3C&PID_0003\\1";
    node.hardwareIds = {"USB\\VID_3C3C&PID_0003"};
    ASSERT_TRUE(sim::AddDevice(node));
    sim::Result result = sim::AddDevice(node);
    EXPECT_FALSE(result);
    EXPECT_NE(std::string::npos, result.Message().find("exists already")) << result.Message();

    for (const char* id : {"USB\\VID_3C3C", "USB\\\\1", "\\A\\B", "A\\B\\", "A\\B\\C\\D"}) {
        sim::DeviceNode bad = node;
        bad.instanceId = id;
        result = sim::AddDevice(bad);
        EXPECT_FALSE(result) << id;
        EXPECT_NE(std::string::npos, result.Message().find("not a full instance ID")) << result.Message();
    }
    sim::DeviceNode unknown = node;
    unknown.instanceId = "USB\\VID_3C3C&PID_0003\\2";
    unknown.className = "Printer";
    result = sim::AddDevice(unknown);
    EXPECT_FALSE(result);
    EXPECT_NE(std::string::npos, result.Message().find("Printer")) << result.Message();
    EXPECT_EQ(0u, PresentDevices().count(unknown.instanceId));
    EXPECT_TRUE(sim::RemoveDevice(node.instanceId.c_str()));
}

TEST(Devices, NumberedNodesComeInBulkAndGoByTheirSharedId) {
    sim::DeviceNode pattern;
    pattern.instanceId = "USB\\VID_4D4D&PID_0004\\SIM#";
    pattern.hardwareIds = {"USB\\VID_4D4D&PID_0004&REV_#", "USB\\VID_4D4D&PID_0004"};
    pattern.compatibleIds = {"USB\\Class_ff"};
    DWORD start = GetTickCount();
    sim::Result result = sim::AddNumberedDevices(pattern, 20, 5);
    ASSERT_TRUE(result) << result.Message();
    RecordProperty("create_20_ms", static_cast<int>(GetTickCount() - start));

    auto devices = PresentDevices();
    int found = 0;
    for (const auto& device : devices)
        found += device.first.rfind("USB\\VID_4D4D&PID_0004\\SIM", 0) == 0;
    EXPECT_EQ(20, found);
    ASSERT_EQ(1u, devices.count("USB\\VID_4D4D&PID_0004\\SIM0024"));
    EXPECT_EQ((Ids{"USB\\VID_4D4D&PID_0004&REV_0024", "USB\\VID_4D4D&PID_0004"}),
              devices["USB\\VID_4D4D&PID_0004\\SIM0024"].hardwareIds);
    EXPECT_EQ(0u, devices.count("USB\\VID_4D4D&PID_0004\\SIM0004"));
    EXPECT_EQ(0u, devices.count("USB\\VID_4D4D&PID_0004\\SIM0025"));

    // One already there stops the run at that node.
    result = sim::AddNumberedDevices(pattern, 3, 23);
    EXPECT_FALSE(result);
    EXPECT_NE(std::string::npos, result.Message().find("SIM0023")) << result.Message();
    // Without a '#' every node would get the same instance ID.
    sim::DeviceNode fixed = pattern;
    fixed.instanceId = "USB\\VID_4D4D&PID_0004\\SIM";
    EXPECT_FALSE(sim::AddNumberedDevices(fixed, 2));

    int removed = 0;
    start = GetTickCount();
    result = sim::RemoveDevicesWithHardwareId("USB\\VID_4D4D&PID_0004", &removed);
    ASSERT_TRUE(result) << result.Message();
    RecordProperty("remove_20_ms", static_cast<int>(GetTickCount() - start));
    EXPECT_EQ(20, removed);
}

} // namespace
