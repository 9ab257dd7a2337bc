#include "tests/sim/simpc.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const char kKey[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";

// A value of the key in one registry view; "<absent>" when it cannot be read.
std::string ReadInView(REGSAM view, const char* name) {
    ScopedRegKey key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, KEY_READ | view, key.Receive()) != ERROR_SUCCESS)
        return "<no key>";
    char data[512] = {};
    DWORD size = sizeof data - 1;
    if (RegQueryValueExA(key.Get(), name, nullptr, nullptr, reinterpret_cast<BYTE*>(data), &size) !=
        ERROR_SUCCESS)
        return "<absent>";
    return data;
}

// The 32-bit program on 64-bit Windows reads through Wow6432Node; the scenario of the simulated PC checks
// that one with both programs in one prefix. Here each view is read explicitly, and the program's own.
TEST(Edition, BothRegistryViewsAndTheProgramsOwnReadTheValues) {
    const char* lab = "7601.17514.x86fre.win7sp1_rtm.101119-1850";
    sim::Result result = sim::SetEdition("6.1", lab);
    ASSERT_TRUE(result) << result.Message();
    for (REGSAM view : {REGSAM(0), REGSAM(KEY_WOW64_64KEY), REGSAM(KEY_WOW64_32KEY)}) {
        EXPECT_EQ("6.1", ReadInView(view, "CurrentVersion")) << "view " << view;
        EXPECT_EQ(lab, ReadInView(view, "BuildLabEx")) << "view " << view;
    }
    sim::EditionValues values = sim::ReadEdition();
    EXPECT_TRUE(values.hasCurrentVersion && values.hasBuildLabEx);
    EXPECT_EQ("6.1", values.currentVersion);
    EXPECT_EQ(lab, values.buildLabEx);

    // Without a build lab the value goes from both views; the version changes with it.
    result = sim::SetEdition("5.1", nullptr);
    ASSERT_TRUE(result) << result.Message();
    for (REGSAM view : {REGSAM(0), REGSAM(KEY_WOW64_64KEY), REGSAM(KEY_WOW64_32KEY)}) {
        EXPECT_EQ("5.1", ReadInView(view, "CurrentVersion")) << "view " << view;
        EXPECT_EQ("<absent>", ReadInView(view, "BuildLabEx")) << "view " << view;
    }
    values = sim::ReadEdition();
    EXPECT_FALSE(values.hasBuildLabEx);
    EXPECT_EQ("5.1", values.currentVersion);
    // Deleting what is not there is no failure.
    EXPECT_TRUE(sim::SetEdition("5.0", nullptr));
}

// A value's type and data in one registry view, as "type:text" ("REG_DWORD:10"); "<absent>" when missing.
std::string TypedInView(REGSAM view, const char* name) {
    ScopedRegKey key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, KEY_READ | view, key.Receive()) != ERROR_SUCCESS)
        return "<no key>";
    BYTE data[512] = {};
    DWORD size = sizeof data - 1, type = 0;
    if (RegQueryValueExA(key.Get(), name, nullptr, &type, data, &size) != ERROR_SUCCESS)
        return "<absent>";
    if (type == REG_DWORD && size == sizeof(DWORD))
        return "REG_DWORD:" + std::to_string(*reinterpret_cast<DWORD*>(data));
    return (type == REG_SZ ? "REG_SZ:" : "other:") + std::string(reinterpret_cast<char*>(data));
}

TEST(Edition, Windows10And11AddTheirNumbersInBothViewsAndOlderOnesLoseThem) {
    const char* lab = "22621.1.amd64fre.ni_release.220506-1250";
    sim::Result result = sim::SetEdition("6.3", lab, {10, "22631"});
    ASSERT_TRUE(result) << result.Message();
    for (REGSAM view : {REGSAM(KEY_WOW64_64KEY), REGSAM(KEY_WOW64_32KEY)}) {
        EXPECT_EQ("REG_DWORD:10", TypedInView(view, "CurrentMajorVersionNumber")) << "view " << view;
        EXPECT_EQ("REG_DWORD:0", TypedInView(view, "CurrentMinorVersionNumber")) << "view " << view;
        EXPECT_EQ("REG_SZ:22631", TypedInView(view, "CurrentBuildNumber")) << "view " << view;
    }
    sim::EditionValues values = sim::ReadEdition();
    EXPECT_TRUE(values.hasMajorNumber && values.hasBuildNumber);
    EXPECT_EQ(10u, values.majorNumber);
    EXPECT_EQ("22631", values.buildNumber);

    // Windows 8.1 has no major number; a build number not given stays as it was.
    ASSERT_TRUE(sim::SetEdition("6.3", "9600.17031.x86fre.winblue_gdr.140221-1952"));
    for (REGSAM view : {REGSAM(KEY_WOW64_64KEY), REGSAM(KEY_WOW64_32KEY)}) {
        EXPECT_EQ("<absent>", TypedInView(view, "CurrentMajorVersionNumber")) << "view " << view;
        EXPECT_EQ("<absent>", TypedInView(view, "CurrentMinorVersionNumber")) << "view " << view;
        EXPECT_EQ("REG_SZ:22631", TypedInView(view, "CurrentBuildNumber")) << "view " << view;
    }
    EXPECT_FALSE(sim::ReadEdition().hasMajorNumber);
}

TEST(Edition, AnEmptyVersionIsRefusedAndChangesNothing) {
    ASSERT_TRUE(sim::SetEdition("6.0", "6002.18005.amd64fre.lh_sp2rtm.090410-1830"));
    sim::Result result = sim::SetEdition("", "x");
    EXPECT_FALSE(result);
    EXPECT_NE(std::string::npos, result.Message().find("CurrentVersion")) << result.Message();
    EXPECT_EQ("6.0", sim::ReadEdition().currentVersion);
}

} // namespace
