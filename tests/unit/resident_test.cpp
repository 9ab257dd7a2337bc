#include "installer/resident.h"

#include "common/handles.h"
#include "common/log.h"
#include "support.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace testsupport;

namespace {

const char* const kServices[] = {"qvusbser", "qvusbapp", "qvcdcmdm0", "qvdatacard"};

std::string ServiceKey(const char* service) {
    return std::string("SYSTEM\\CurrentControlSet\\Services\\") + service;
}

bool KeyExists(const std::string& key) {
    ScopedRegKey handle;
    return RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, handle.Receive()) == ERROR_SUCCESS;
}

// The value as stored, or -1 when there is none.
long long Resident(const std::string& key) {
    ScopedRegKey handle;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, handle.Receive()) != ERROR_SUCCESS)
        return -1;
    DWORD value = 0, size = sizeof value, type = 0;
    if (RegQueryValueExA(handle.Get(), "QCDriverResident", nullptr, &type, reinterpret_cast<BYTE*>(&value),
                         &size) != ERROR_SUCCESS)
        return -1;
    EXPECT_EQ(static_cast<DWORD>(REG_DWORD), type);
    return value;
}

// A machine on which the device's services were never installed.
class ResidentSetting : public ::testing::Test {
protected:
    void SetUp() override {
        InitLogFile();
        RemoveServices();
        DeleteLog();
    }
    void TearDown() override {
        RemoveServices();
        DeleteLog();
    }
    static void RemoveServices() {
        for (const char* service : kServices)
            RegDeleteKeyA(HKEY_LOCAL_MACHINE, ServiceKey(service).c_str());
    }
};

} // namespace

TEST_F(ResidentSetting, OneMakesTheFourServiceKeysHoldingOnlyTheValue) {
    EXPECT_EQ(0, change_resident_register(1));
    for (const char* service : kServices)
        EXPECT_EQ(1, Resident(ServiceKey(service))) << service;
    // A value that could not be read is 0: each key is written; the fourth key shares the modem's line.
    EXPECT_EQ(std::vector<std::string>({
                  "INFO: GetResetInfo RegQueryValueEx error.",
                  "Info: change SER resident info to 1",
                  "INFO: GetResetInfo RegQueryValueEx error.",
                  "Info: change APP resident info to 1",
                  "INFO: GetResetInfo RegQueryValueEx error.",
                  "Info: change MDM resident info to 1",
                  "INFO: GetResetInfo RegQueryValueEx error.",
                  "Info: change MDM resident info to 1",
                  "Info: change_resident_register() is ok.",
              }),
              LogMessages());

    DeleteLog();
    EXPECT_EQ(0, change_resident_register(1));
    EXPECT_EQ(std::vector<std::string>({"Info: change_resident_register() is ok."}), LogMessages());
}

TEST_F(ResidentSetting, ZeroMakesTheKeysButWritesNoValueWhereNoneIs) {
    EXPECT_EQ(0, change_resident_register(0));
    for (const char* service : kServices) {
        EXPECT_TRUE(KeyExists(ServiceKey(service))) << service;
        EXPECT_EQ(-1, Resident(ServiceKey(service))) << service;
    }
    EXPECT_EQ("Info: change_resident_register() is ok.", LogMessages().back());
}

TEST_F(ResidentSetting, ZeroClearsOnlyTheKeysThatAreResident) {
    ASSERT_EQ(0, RegResetInfo(ServiceKey("qvusbapp").c_str(), 1));
    ASSERT_EQ(0, RegResetInfo(ServiceKey("qvdatacard").c_str(), 1));
    ASSERT_EQ(0, RegResetInfo(ServiceKey("qvusbser").c_str(), 0));
    DeleteLog();
    EXPECT_EQ(0, change_resident_register(0));
    for (const char* service : {"qvusbser", "qvusbapp", "qvdatacard"})
        EXPECT_EQ(0, Resident(ServiceKey(service))) << service;
    std::vector<std::string> changes;
    for (const std::string& message : LogMessages()) {
        if (message.compare(0, 13, "Info: change ") == 0)
            changes.push_back(message);
    }
    EXPECT_EQ(std::vector<std::string>(
                  {"Info: change APP resident info to 0", "Info: change MDM resident info to 0"}),
              changes);
    EXPECT_EQ("Info: change_resident_register() is ok.", LogMessages().back());
}

TEST_F(ResidentSetting, AKeyThatCannotBeMadeIsAWriteFailure) {
    // No key name may be longer than 255 characters.
    std::string unusable = ServiceKey("qvusbser") + "\\" + std::string(300, 'k');
    EXPECT_EQ(kResultWriteFailed, RegSetDwordValue(unusable.c_str(), 1, nullptr));
    EXPECT_EQ(kResultWriteFailed, RegResetInfo(unusable.c_str(), 1));
    EXPECT_EQ(0u, GetResetInfo(unusable.c_str()));
    EXPECT_EQ(
        std::vector<std::string>({"INFO: RegResetInfo Open Key error.", "INFO: RegResetInfo Open Key error.",
                                  "INFO: GetResetInfo Open Key error."}),
        LogMessages());
}

TEST_F(ResidentSetting, ANamedValueIsWrittenAsADword) {
    const char key[] = "SYSTEM\\CurrentControlSet\\Services\\qvusbser\\Parameters";
    EXPECT_EQ(0, RegSetDwordValue(key, 0x00020000, "TcpWindowSize"));
    ScopedRegKey handle;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, key, 0, KEY_READ, handle.Receive()));
    DWORD value = 0, size = sizeof value, type = 0;
    ASSERT_EQ(ERROR_SUCCESS, RegQueryValueExA(handle.Get(), "TcpWindowSize", nullptr, &type,
                                              reinterpret_cast<BYTE*>(&value), &size));
    EXPECT_EQ(static_cast<DWORD>(REG_DWORD), type);
    EXPECT_EQ(0x00020000u, value);
    handle.Reset();
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, key);
}

TEST(SystemVersion, Windows2000AndEveryLaterWindowsPass) {
    EXPECT_FALSE(IsSupportedMajorVersion(3));
    EXPECT_FALSE(IsSupportedMajorVersion(4)); // Windows NT 4
    EXPECT_TRUE(IsSupportedMajorVersion(5));  // 2000, XP
    EXPECT_TRUE(IsSupportedMajorVersion(6));  // Vista, 7
    EXPECT_TRUE(IsSupportedMajorVersion(10));

    InitLogFile();
    DeleteLog();
    EXPECT_EQ(0, CheckSystemInfo());
    EXPECT_EQ(std::vector<std::string>({"Check system version, OK.", "Check system info, OK."}),
              LogMessages());
    DeleteLog();
}
