// simpc.exe as scenario scripts use it: its statuses, messages and the window it leaves running.
#include "tests/sim/simpc.h"
#include "tests/unit/support.h"

#include <gtest/gtest.h>

namespace {

struct Outcome {
    DWORD status = ~0u;
    std::string out, err;
};

// Drains a pipe on a thread of its own, so that a full pipe never stalls the program.
DWORD WINAPI Drain(void* context) {
    auto* pipe = static_cast<std::pair<HANDLE, std::string*>*>(context);
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(pipe->first, buffer, sizeof buffer, &got, nullptr) && got > 0)
        pipe->second->append(buffer, got);
    return 0;
}

// Runs simpc.exe beside this test program with an argument text; answers its status and output.
Outcome Simpc(const std::string& arguments) {
    Outcome run;
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE outRead, outWrite, errRead, errWrite;
    EXPECT_TRUE(CreatePipe(&outRead, &outWrite, &inherit, 0) && CreatePipe(&errRead, &errWrite, &inherit, 0));
    ScopedHandle outReader(outRead), outWriter(outWrite), errReader(errRead), errWriter(errWrite);
    SetHandleInformation(outRead, HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(errRead, HANDLE_FLAG_INHERIT, 0);
    std::string program = testsupport::TestDir() + "simpc.exe";
    std::string commandLine = "\"" + program + "\" " + arguments;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = outWrite;
    startup.hStdError = errWrite;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                        &startup, &process)) {
        ADD_FAILURE() << "cannot start " << program << ": " << GetLastError();
        return run;
    }
    ScopedHandle child(process.hProcess), thread(process.hThread);
    outWriter.Reset();
    errWriter.Reset();
    std::pair<HANDLE, std::string*> outPipe(outRead, &run.out), errPipe(errRead, &run.err);
    ScopedHandle outDrain(CreateThread(nullptr, 0, Drain, &outPipe, 0, nullptr));
    ScopedHandle errDrain(CreateThread(nullptr, 0, Drain, &errPipe, 0, nullptr));
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(child.Get(), 60000)) << arguments;
    // The pipes close when the program and everything that inherited them have ended.
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(outDrain.Get(), 10000))
        << "output still open: " << arguments;
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(errDrain.Get(), 10000))
        << "errors still open: " << arguments;
    GetExitCodeProcess(child.Get(), &run.status);
    return run;
}

bool Has(const std::string& text, const char* part) {
    return text.find(part) != std::string::npos;
}

TEST(Simpc, UnusableCommandLinesAreRefusedWithStatusTwoAndAReason) {
    struct Case {
        const char* arguments;
        const char* reason;
    } cases[] = {
        {"", "no command"},
        {"fly-away", "unknown command 'fly-away'"},
        {"cdrom-define 5: /tmp", "'5:' is not a drive letter"},
        {"device-add --hwid USB\\VID_1", "--instance is missing"},
        {"device-list --colour red", "unknown option --colour"},
        {"drive-remove", "an argument is missing"},
        {"mounted-record E: --sign S --delete", "give one of --sign, --record and --delete"},
    };
    for (const Case& c : cases) {
        Outcome run = Simpc(c.arguments);
        EXPECT_EQ(2u, run.status) << c.arguments;
        EXPECT_TRUE(Has(run.err, c.reason)) << c.arguments << ": " << run.err;
        EXPECT_TRUE(Has(run.err, "usage: simpc.exe")) << c.arguments << ": " << run.err;
        EXPECT_EQ("", run.out) << c.arguments;
    }
}

TEST(Simpc, AFailedChangeIsStatusOneWithTheReason) {
    Outcome run = Simpc("device-remove --instance \"USB\\VID_0000&PID_0000\\none\"");
    EXPECT_EQ(1u, run.status);
    EXPECT_TRUE(Has(run.err, "simpc: device-remove: no device node USB\\VID_0000&PID_0000\\none")) << run.err;
    run = Simpc("cdrom-define C: /tmp");
    EXPECT_EQ(1u, run.status);
    EXPECT_TRUE(Has(run.err, "(D: to Y:)")) << run.err;
}

TEST(Simpc, NodesItMakesAreListedByTheNextRun) {
    Outcome run =
        Simpc("device-add-many 3 --instance \"USB\\VID_5E5E&PID_0005\\SIM#\" "
              "--hwid \"USB\\VID_5E5E&PID_0005&REV_#,USB\\VID_5E5E&PID_0005\" --compat USB\\Class_ff "
              "--class Ports");
    ASSERT_EQ(0u, run.status) << run.err;
    EXPECT_TRUE(Has(run.out, "added 3 device nodes in ")) << run.out;
    run = Simpc("device-list --hwid usb\\vid_5e5e&pid_0005&rev_0001");
    ASSERT_EQ(0u, run.status) << run.err;
    EXPECT_EQ(
        "USB\\VID_5E5E&PID_0005\\SIM0001\tPorts\tUSB\\VID_5E5E&PID_0005&REV_0001,USB\\VID_5E5E&PID_0005\t"
        "USB\\Class_ff\n",
        run.out);
    run = Simpc("device-remove --hwid USB\\VID_5E5E&PID_0005");
    EXPECT_EQ(0u, run.status) << run.err;
    EXPECT_TRUE(Has(run.out, "removed 3 device nodes")) << run.out;
}

// The tool answers while the window stays; the window belongs to a detached copy that ends when closed.
TEST(Simpc, AFolderWindowOutlivesTheRunThatOpenedIt) {
    testsupport::TempDir dir;
    std::string journal = dir.File("closed.txt");
    Outcome run = Simpc("folder-window --title \"Removable Disk (E:)\" --text E:\\ --hidden --journal \"" +
                        journal + "\"");
    ASSERT_EQ(0u, run.status) << run.err;
    DWORD pid = strtoul(run.out.c_str(), nullptr, 10);
    ASSERT_NE(0u, pid) << run.out;
    ScopedHandle owner(OpenProcess(SYNCHRONIZE, FALSE, pid));
    ASSERT_TRUE(owner);
    HWND window = FindWindowA("CabinetWClass", "Removable Disk (E:)");
    ASSERT_NE(nullptr, window);
    HWND address = FindWindowExA(window, nullptr, "Edit", nullptr);
    ASSERT_NE(nullptr, address);
    char text[64] = {};
    DWORD_PTR length = 0;
    SendMessageTimeoutA(address, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                        5000, &length);
    EXPECT_STREQ("E:\\", text); // the trailing backslash survived the command line

    EXPECT_EQ(0u, Simpc("window-exists \"Removable Disk (E:)\"").status);
    EXPECT_EQ(1u, Simpc("window-exists \"Removable Disk (F:)\"").status);
    EXPECT_EQ(0u, Simpc("window-close \"Removable Disk (E:)\"").status);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(owner.Get(), 10000));
    EXPECT_EQ(nullptr, FindWindowA("CabinetWClass", "Removable Disk (E:)"));
    EXPECT_EQ("closed Removable Disk (E:)\r\n", testsupport::ReadWholeFile(journal));
}

} // namespace
