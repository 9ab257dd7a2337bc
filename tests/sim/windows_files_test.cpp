#include "tests/sim/simpc.h"
#include "tests/unit/support.h"

#include <gtest/gtest.h>

namespace {

std::string WindowsFolder() {
    char path[MAX_PATH] = {};
    GetWindowsDirectoryA(path, MAX_PATH);
    return path;
}

std::string InfPath(const char* name) {
    return WindowsFolder() + "\\inf\\" + name;
}

bool Exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

TEST(OemInf, TheFirstFreeNumberIsTakenWithAPnfTwin) {
    int placed = -1;
    sim::Result result =
        sim::PlaceOemInf("[Version]\r\nSignature=\"$Windows NT$\"\r\n", -1, nullptr, &placed);
    ASSERT_TRUE(result) << result.Message();
    EXPECT_EQ(0, placed);
    EXPECT_EQ("[Version]\r\nSignature=\"$Windows NT$\"\r\n", testsupport::ReadWholeFile(InfPath("oem0.inf")));
    // The stand-in twin names its INF, in UTF-16 as Windows keeps paths.
    std::string twin = testsupport::ReadWholeFile(InfPath("oem0.PNF"));
    std::string name = std::string("o\0e\0m\0\x30\0.\0i\0n\0f\0", 16);
    EXPECT_NE(std::string::npos, twin.find(name));

    // A lone .PNF also takes its number.
    testsupport::WriteWholeFile(InfPath("oem1.PNF"), "x");
    std::string pnf = "given twin";
    ASSERT_TRUE(sim::PlaceOemInf("second", -1, &pnf, &placed));
    EXPECT_EQ(2, placed);
    EXPECT_EQ("second", testsupport::ReadWholeFile(InfPath("oem2.inf")));
    EXPECT_EQ("given twin", testsupport::ReadWholeFile(InfPath("oem2.PNF")));

    // A number given is used as it is, over what is there.
    ASSERT_TRUE(sim::PlaceOemInf("seventh", 7, nullptr, &placed));
    EXPECT_EQ(7, placed);
    ASSERT_TRUE(sim::PlaceOemInf("seventh again", 7, nullptr, nullptr));
    EXPECT_EQ("seventh again", testsupport::ReadWholeFile(InfPath("oem7.inf")));
    EXPECT_TRUE(Exists(InfPath("oem7.PNF")));
    EXPECT_FALSE(sim::PlaceOemInf("too far", 10000, nullptr, nullptr));

    for (const char* name :
         {"oem0.inf", "oem0.PNF", "oem1.PNF", "oem2.inf", "oem2.PNF", "oem7.inf", "oem7.PNF"})
        DeleteFileA(InfPath(name).c_str());
}

// This program's own system folder is the native one here (32-bit programs run on the 32-bit prefix); the
// 32-bit program on 64-bit Windows is checked by the simulated PC's scenario.
TEST(SystemFile, LandsInTheSystemFolderAndStaysInside) {
    char system[MAX_PATH] = {};
    GetSystemDirectoryA(system, MAX_PATH);
    std::string target = std::string(system) + "\\drivers\\simpc-test.sys";
    sim::Result result = sim::PlaceSystemFile("drivers\\simpc-test.sys", std::string("MZ\0\x90", 4));
    ASSERT_TRUE(result) << result.Message();
    EXPECT_EQ(std::string("MZ\0\x90", 4), testsupport::ReadWholeFile(target));
    DeleteFileA(target.c_str());

    for (const char* path : {"", "..\\win.ini", "\\x.sys", "C:\\x.sys", "drivers\\..\\..\\x.sys"}) {
        result = sim::PlaceSystemFile(path, "x");
        EXPECT_FALSE(result) << path;
        EXPECT_NE(std::string::npos, result.Message().find("not a path inside")) << result.Message();
    }
    result = sim::PlaceSystemFile("no-such-folder\\x.sys", "x");
    EXPECT_FALSE(result);
    EXPECT_NE(std::string::npos, result.Message().find("ERROR_PATH_NOT_FOUND")) << result.Message();
}

} // namespace
