// The reference plug-in library, loaded as the launcher loads it and driven through its .ini.
#include "common/handles.h"
#include "common/log.h"
#include "common/plugin_api.h"
#include "common/processes.h"
#include "support.h"

#include <gtest/gtest.h>

#include <string>

using namespace testsupport;

namespace {

class Plugin : public LoggingTest {
protected:
    void SetUp() override {
        LoggingTest::SetUp();
        m_library = CopyBuilt(PLUGIN_LIBRARY, m_dir.Path(), "PalvioPlugin.dll");
        m_module.Reset(LoadLibraryA(m_library.c_str()));
        ASSERT_TRUE(m_module) << GetLastError();
    }
    void TearDown() override {
        m_module.Reset();
        LoggingTest::TearDown();
    }

    int Call(const char* entry) {
        auto function = reinterpret_cast<PluginQueryFunction>(
            reinterpret_cast<void (*)()>(GetProcAddress(m_module.Get(), entry)));
        EXPECT_TRUE(function) << entry;
        return function ? function() : -1;
    }
    int Init(const std::string& path) {
        auto function = reinterpret_cast<PluginInitFunction>(
            reinterpret_cast<void (*)()>(GetProcAddress(m_module.Get(), "InitialDllPara")));
        return function(path.c_str());
    }
    void WriteIni(const std::string& text) { WriteWholeFile(m_dir.File("PalvioPlugin.ini"), text); }
    std::string Sleeper(const std::string& name) {
        std::string program = m_dir.File(name);
        EXPECT_TRUE(CopyFileA((TestDir() + "sleeper.exe").c_str(), program.c_str(), FALSE));
        return program;
    }

    TempDir m_dir;
    std::string m_library;
    ScopedModule m_module;
};

} // namespace

TEST_F(Plugin, ExportsTheThirteenEntryPointsByName) {
    for (const char* name : kPluginEntryNames)
        EXPECT_TRUE(GetProcAddress(m_module.Get(), name)) << name;
}

TEST_F(Plugin, WithoutItsIniItRefusesToStart) {
    EXPECT_EQ(0, Init(m_library));
    EXPECT_EQ("ERR: PalvioPlugin: " + m_dir.File("PalvioPlugin.ini") +
                  " is missing or describes no application",
              LogMessages().back());
    EXPECT_EQ(0, Call("PalvioIsEnable"));
    EXPECT_EQ("ERR: PalvioPlugin: PalvioIsEnable called before InitialDllPara", LogMessages().back());
    WriteIni("garbage without sections\r\n\x01\x02\x03");
    EXPECT_EQ(0, Init(m_library));
    EXPECT_EQ(0, Init(""));
}

TEST_F(Plugin, AnswersFromItsIni) {
    std::string installed = m_dir.File("Palvio.exe");
    WriteWholeFile(installed, "x");
    WriteIni("[Palvio]\r\nEnabled=yes\r\nInstalledFile=" + installed +
             "\r\n[Dial]\r\nEnabled=no\r\n"
             "InstalledFile=" +
             m_dir.File("Dial.exe") + "\r\n");
    ASSERT_EQ(1, Init(m_library));
    EXPECT_EQ(1, Call("PalvioIsEnable"));
    EXPECT_EQ(0, Call("DialIsEnable"));
    EXPECT_EQ(1, Call("CheckPalvioPrgInstall"));
    EXPECT_EQ(0, Call("CheckDialPrgInstall"));
    EXPECT_EQ(0, Call("CheckDialIsRunning")); // no process name configured
    EXPECT_EQ(1, Call("UpdateDial"));         // no update program: what is there is current
    EXPECT_EQ(0, Call("RunDial"));            // no program configured
}

TEST_F(Plugin, InstalledCanBeARegistryValue) {
    ScopedRegString value("SOFTWARE\\PalvioSuiteTests\\Dial", "InstallPath", "C:\\Dial");
    WriteIni("[Dial]\r\nInstalledValue=HKLM\\SOFTWARE\\PalvioSuiteTests\\Dial\\InstallPath\r\n");
    ASSERT_EQ(1, Init(m_library));
    EXPECT_EQ(1, Call("CheckDialPrgInstall"));
    EXPECT_EQ(0, Call("CheckPalvioPrgInstall")); // no [Palvio] section at all
}

TEST_F(Plugin, InstallRunsTheSetupAndAsksAgain) {
    std::string installed = m_dir.File("Dial.exe");
    WriteIni("[Dial]\r\nInstalledFile=" + installed +
             "\r\nSetup=%SystemRoot%\\system32\\cmd.exe\r\nSetupParameters=/c echo x> \"" + installed +
             "\"\r\n"
             "[Palvio]\r\nSetup=NoSuchSetup.exe\r\n");
    ASSERT_EQ(1, Init(m_library));
    EXPECT_EQ(0, Call("CheckDialPrgInstall"));
    EXPECT_EQ(1, Call("InstallDialPrg"));
    EXPECT_EQ(1, Call("CheckDialPrgInstall"));
    EXPECT_EQ(0, Call("InstallPalvio")); // the setup program cannot be started
}

TEST_F(Plugin, RunStartsTheProgramAndRunningFollowsItsProcess) {
    std::string program = Sleeper("PvDialApp.exe");
    WriteIni("[Dial]\r\nProgram=PvDialApp.exe\r\nProgramParameters=60000\r\nProcess=pvdialapp.exe\r\n");
    ASSERT_EQ(1, Init(m_library));
    EXPECT_EQ(0, Call("CheckDialIsRunning"));
    EXPECT_EQ(1, Call("RunDial")); // relative to the library's folder
    bool running = false;
    for (int i = 0; i < 50 && !running; ++i, Sleep(100))
        running = Call("CheckDialIsRunning") == 1;
    EXPECT_TRUE(running);
    EXPECT_EQ("INF: PalvioPlugin: started " + program, LogMessages().at(1));
    for (const std::string& line : LogLines())
        EXPECT_NE(std::string::npos, line.find("  PalvioPlugin: ")) << line;
    KillProcessByName("PvDialApp.exe");
}
