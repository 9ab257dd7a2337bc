// The test doubles that scenarios put in place of the outside components and of newdev.dll.
#include "common/handles.h"
#include "common/plugin_api.h"
#include "support.h"

#include <gtest/gtest.h>

#include <string>

using namespace testsupport;

namespace {

template <typename Function>
Function Entry(HMODULE module, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

typedef BOOL(WINAPI* UpdateDriverFunction)(HWND, LPCSTR, LPCSTR, DWORD, PBOOL);

} // namespace

TEST(PluginDouble, AnswersInCallOrderAndJournalsEveryCall) {
    TempDir dir;
    std::string library = CopyBuilt(PLUGIN_DOUBLE, dir.Path(), "PalvioPlugin.dll");
    WriteWholeFile(dir.File("PalvioPlugin.ini"),
                   "[Answers]\r\nCheckPalvioPrgInstall=0,1\r\nInstallPalvio=1\r\n");
    ScopedModule module(LoadLibraryA(library.c_str()));
    ASSERT_TRUE(module);
    for (const char* name : kPluginEntryNames)
        ASSERT_TRUE(GetProcAddress(module.Get(), name)) << name;
    EXPECT_EQ(1, Entry<PluginInitFunction>(module.Get(), "InitialDllPara")(library.c_str()));
    auto installed = Entry<PluginQueryFunction>(module.Get(), "CheckPalvioPrgInstall");
    EXPECT_EQ(0, installed());
    EXPECT_EQ(1, Entry<PluginQueryFunction>(module.Get(), "InstallPalvio")());
    EXPECT_EQ(1, installed());
    EXPECT_EQ(1, installed()); // the last answer repeats
    EXPECT_EQ(0, Entry<PluginQueryFunction>(module.Get(), "RunDial")());
    module.Reset();
    EXPECT_EQ("loaded\r\nInitialDllPara " + library +
                  "\r\nInitialDllPara -> 1\r\nCheckPalvioPrgInstall -> 0\r\n"
                  "InstallPalvio -> 1\r\nCheckPalvioPrgInstall -> 1\r\nCheckPalvioPrgInstall -> 1\r\nRunDial "
                  "-> 0\r\nfreed\r\n",
              ReadWholeFile(dir.File("PalvioPlugin.journal")));
}

TEST(NewdevDouble, AnswersPerHardwareIdAndJournalsTheArguments) {
    TempDir dir;
    std::string library = CopyBuilt(NEWDEV_DOUBLE, dir.Path(), "newdev.dll");
    WriteWholeFile(
        dir.File("newdev.ini"),
        "[Default]\r\nResult=1\r\nReboot=1\r\n[usb\\vid_1a2b&pid_0001&mi_01]\r\nResult=0\r\nLastError=2\r\n");
    ScopedModule module(LoadLibraryA(library.c_str()));
    ASSERT_TRUE(module);
    auto update = Entry<UpdateDriverFunction>(module.Get(), "UpdateDriverForPlugAndPlayDevicesA");
    ASSERT_TRUE(update);
    BOOL reboot = FALSE;
    EXPECT_TRUE(update(nullptr, "usb\\vid_1a2b&pid_0001&mi_00", "C:\\drv\\modem.inf", 1, &reboot));
    EXPECT_TRUE(reboot);
    SetLastError(0);
    EXPECT_FALSE(update(nullptr, "usb\\vid_1a2b&pid_0001&mi_01", "C:\\drv\\ser.inf", 0, nullptr));
    EXPECT_EQ(2u, GetLastError());
    EXPECT_EQ("UpdateDriverForPlugAndPlayDevicesA usb\\vid_1a2b&pid_0001&mi_00 C:\\drv\\modem.inf 1\r\n"
              "UpdateDriverForPlugAndPlayDevicesA usb\\vid_1a2b&pid_0001&mi_01 C:\\drv\\ser.inf 0\r\n",
              ReadWholeFile(dir.File("newdev.journal")));
}

TEST(BootrelDouble, JournalsItsCommandLine) {
    TempDir dir;
    std::string program = CopyBuilt(BOOTREL_DOUBLE, dir.Path(), "Bootrel.exe");
    EXPECT_EQ(0u, RunAndWait(program, "1"));
    EXPECT_EQ("Bootrel 1\r\n", ReadWholeFile(dir.File("Bootrel.journal")));
}
