#include "common/devices.h"

#include "common/log.h"
#include "support.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace testsupport;

namespace {

// The bytes of a literal, embedded zeros included (without the literal's own terminator).
template <size_t N>
std::string Bytes(const char (&text)[N]) {
    return std::string(text, N - 1);
}

std::vector<std::string> Ids(const std::string& multiString) {
    return LoweredIdList(multiString.data(), multiString.size());
}

unsigned long long Version(unsigned major, unsigned minor, unsigned build, unsigned revision) {
    return (static_cast<unsigned long long>(major) << 48) | (static_cast<unsigned long long>(minor) << 32) |
           (static_cast<unsigned long long>(build) << 16) | revision;
}

} // namespace

TEST(IdList, LowersEveryStringUpToTheEmptyOne) {
    std::string list = Bytes("USB\\VID_1234&PID_5678&REV_0000\0USB\\VID_1234&PID_5678\0\0ignored\0");
    EXPECT_EQ(std::vector<std::string>({"usb\\vid_1234&pid_5678&rev_0000", "usb\\vid_1234&pid_5678"}),
              Ids(list));
}

TEST(IdList, NeverReadsPastTheData) {
    // The last string has no terminator within the length that was read: it is left out.
    std::string list = Bytes("USB\\CLASS_02\0USB\\CLASS_0");
    EXPECT_EQ(std::vector<std::string>({"usb\\class_02"}), Ids(list));
    EXPECT_TRUE(Ids(std::string()).empty());
    EXPECT_TRUE(Ids(Bytes("\0\0")).empty());
    EXPECT_TRUE(Ids(std::string("NOTERMINATOR")).empty());
}

TEST(IdList, LowersOnlyAsciiLetters) {
    EXPECT_EQ(std::vector<std::string>({"usb\\vid_1a2b&pid_\xc4\xd6"}),
              Ids(Bytes("USB\\VID_1A2B&PID_\xc4\xd6\0")));
}

TEST(DriverVersionText, ReadsUpToFourParts) {
    EXPECT_EQ(Version(2, 1, 0, 8), ParseDriverVersion("2.1.0.8"));
    EXPECT_EQ(Version(1, 2, 0, 0), ParseDriverVersion("1.2"));
    EXPECT_EQ(Version(1, 2, 3, 4), ParseDriverVersion("1.2.3.4.5"));
    EXPECT_EQ(Version(1, 2, 0, 0), ParseDriverVersion("1..2"));
    EXPECT_EQ(Version(3, 4, 5, 0), ParseDriverVersion(" 3 4. 5"));
}

TEST(DriverVersionText, TextWithoutDigitsIsZero) {
    EXPECT_EQ(0u, ParseDriverVersion(""));
    EXPECT_EQ(0u, ParseDriverVersion("abc"));
    EXPECT_EQ(0u, ParseDriverVersion("..."));
    EXPECT_EQ(Version(0, 7, 0, 0), ParseDriverVersion("v1.7x")); // "v1" has no leading digits
}

TEST(DriverVersionText, APartAbove65535CountsAs65535) {
    EXPECT_EQ(Version(65535, 1, 0, 0), ParseDriverVersion("70000.1"));
    EXPECT_EQ(Version(65535, 0, 0, 0), ParseDriverVersion("99999999999999999999"));
    EXPECT_GT(ParseDriverVersion("70000"), ParseDriverVersion("65534.9"));
}

TEST(DriverVersionText, ComparesAsTheDriverVersionNumber) {
    unsigned long long profile = ParseDriverVersion("2.1.0.8");
    EXPECT_FALSE(profile > Version(2, 1, 0, 8));
    EXPECT_TRUE(profile > Version(2, 1, 0, 7));
    EXPECT_FALSE(profile > Version(2, 2, 0, 0));
}

class DeviceProbe : public LoggingTest {};

TEST_F(DeviceProbe, AbsentDeviceIsReportedAbsent) {
    int absent = 0;
    EXPECT_EQ(1, DetectDevice("usb\\vid_1a2b&pid_0001", "usb\\class_08", &absent));
    EXPECT_EQ(1, absent);
    EXPECT_EQ(
        std::vector<std::string>({"Begin detect device hwid(usb\\vid_1a2b&pid_0001), comId(usb\\class_08)",
                                  "Not finded the device(usb\\vid_1a2b&pid_0001)"}),
        LogMessages());
}

TEST_F(DeviceProbe, VersionCheckOfAnAbsentDeviceAsksNoUpdate) {
    EXPECT_EQ(0, CheckDriverVersion("usb\\vid_1a2b&pid_0001&mi_00", "2.1.0.8"));
    EXPECT_EQ(
        std::vector<std::string>(
            {">> Begin to Check version: device hwid is usb\\vid_1a2b&pid_0001&mi_00 ; version is 2.1.0.8.",
             "Not finded the device(usb\\vid_1a2b&pid_0001&mi_00)", "<< End to Check update device "}),
        LogMessages());
}
