#include "common/processes.h"

#include "common/handles.h"
#include "common/log.h"
#include "support.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace testsupport;

namespace {

class Processes : public LoggingTest {
protected:
    // A copy of the sleeper under a name of the test's own, so that no other process has it.
    std::string Sleeper(const std::string& name) {
        std::string program = m_dir.File(name);
        EXPECT_TRUE(CopyFileA((TestDir() + "sleeper.exe").c_str(), program.c_str(), FALSE));
        return program;
    }
    static DWORD ExitCodeAfter(HANDLE process, DWORD milliseconds) {
        if (WaitForSingleObject(process, milliseconds) != WAIT_OBJECT_0)
            return STILL_ACTIVE;
        DWORD code = 0;
        GetExitCodeProcess(process, &code);
        return code;
    }

    TempDir m_dir;
};

} // namespace

TEST_F(Processes, EndsOneProcessOfTheNameInAnyLetterCase) {
    std::string program = Sleeper("PvSleeper.exe");
    ScopedHandle first(StartProgram(program, "60000"));
    ScopedHandle second(StartProgram(program, "60000"));
    ASSERT_TRUE(first && second);
    Sleep(500); // both must be in the process list

    EXPECT_EQ(1, KillProcessByName("pvsleeper.EXE"));
    DWORD firstCode = ExitCodeAfter(first.Get(), 5000);
    DWORD secondCode = ExitCodeAfter(second.Get(), firstCode == STILL_ACTIVE ? 5000 : 0);
    // Exactly one of them was ended, with exit code 0; the other keeps running.
    EXPECT_TRUE((firstCode == 0) != (secondCode == 0)) << firstCode << " " << secondCode;
    EXPECT_TRUE(firstCode == STILL_ACTIVE || secondCode == STILL_ACTIVE);
    EXPECT_EQ(std::vector<std::string>(
                  {"Begin to terminate process:PvSleeper.exe", "Terminate process:PvSleeper.exe Suc"}),
              LogMessages());

    TerminateProcess(first.Get(), 1);
    TerminateProcess(second.Get(), 1);
}

TEST_F(Processes, NoProcessOfTheNameIsNoWithoutALogLine) {
    std::string program = Sleeper("PvSleeper2.exe");
    ScopedHandle running(StartProgram(program, "60000"));
    ASSERT_TRUE(running);
    Sleep(500);
    EXPECT_EQ(0, KillProcessByName("PvSleeper"));     // a part of the name
    EXPECT_EQ(0, KillProcessByName(program.c_str())); // a path
    EXPECT_EQ(0, KillProcessByName("NoSuchProgram.exe"));
    EXPECT_EQ(0, KillProcessByName(""));
    EXPECT_EQ(0, KillProcessByName(nullptr));
    EXPECT_TRUE(LogMessages().empty());
    EXPECT_EQ(static_cast<DWORD>(STILL_ACTIVE), ExitCodeAfter(running.Get(), 0));
    TerminateProcess(running.Get(), 1);
}

TEST_F(Processes, RunClientSetupWaitsForTheProgramToEnd) {
    std::string program = Sleeper("PvTool.exe");
    DWORD start = GetTickCount();
    EXPECT_EQ(1, RunClientSetup(program.c_str(), "700"));
    EXPECT_GE(GetTickCount() - start + 16, 700u);
    EXPECT_EQ(std::vector<std::string>({"===> RunClientSetup: " + program +
                                            "\xA3\xA8"
                                            "700\xA3\xA9 setup, SUC...",
                                        "<=== RunClientSetup: " + program +
                                            "\xA3\xA8"
                                            "700\xA3\xA9 setup, SUC..."}),
              LogMessages());
}

TEST_F(Processes, RunClientSetupWithoutParametersStillLogsBothLines) {
    std::string program = Sleeper("PvTool.exe");
    EXPECT_EQ(1, RunClientSetup(program.c_str(), nullptr));
    EXPECT_EQ(std::vector<std::string>(
                  {"===> RunClientSetup: " + program + "\xA3\xA8(null)\xA3\xA9 setup, SUC...",
                   "<=== RunClientSetup: " + program + "\xA3\xA8(null)\xA3\xA9 setup, SUC..."}),
              LogMessages());
}

TEST_F(Processes, RunClientSetupGivesUpTheWaitWhenAskedToStop) {
    std::string program = Sleeper("PvLongTool.exe");
    ScopedHandle stop(CreateEventA(nullptr, TRUE, TRUE, nullptr));
    DWORD start = GetTickCount();
    EXPECT_EQ(1, RunClientSetup(program.c_str(), "30000", stop.Get()));
    EXPECT_LT(GetTickCount() - start, 10000u);
    EXPECT_EQ(std::vector<std::string>(
                  {"===> RunClientSetup: " + program +
                       "\xA3\xA8"
                       "30000\xA3\xA9 setup, SUC...",
                   "INF: RunClientSetup: " + program + " is left running, the wait for it was given up"}),
              LogMessages());
    EXPECT_EQ(1, KillProcessByName("PvLongTool.exe")) << "the program was left running";
}

TEST_F(Processes, RunClientSetupGivesUpAProgramThatOutlastsItsLimit) {
    std::string program = Sleeper("PvHungTool.exe");
    DWORD start = GetTickCount();
    EXPECT_EQ(0, RunClientSetup(program.c_str(), "30000", nullptr, 1500));
    DWORD waited = GetTickCount() - start;
    EXPECT_GE(waited + 16, 1500u);
    EXPECT_LT(waited, 10000u);
    EXPECT_EQ(std::vector<std::string>(
                  {"===> RunClientSetup: " + program +
                       "\xA3\xA8"
                       "30000\xA3\xA9 setup, SUC...",
                   "ERR: RunClientSetup: " + program + " has not ended within 1 s; it is left running"}),
              LogMessages());
    EXPECT_EQ(1, KillProcessByName("PvHungTool.exe")) << "the program was left running";
}

TEST_F(Processes, RunClientSetupOfAMissingProgramReportsTheShellsError) {
    std::string missing = m_dir.File("portflip.exe");
    EXPECT_EQ(0, RunClientSetup(missing.c_str(), "-switch -cdrom:E:"));
    EXPECT_EQ(std::vector<std::string>(
                  {"===> RunClientSetup: " + missing + "\xA3\xA8-switch -cdrom:E:\xA3\xA9 setup, SUC...",
                   "ERR: ShellExecuteEx " + missing + " (-switch -cdrom:E:) error,last error:2..."}),
              LogMessages());
}
