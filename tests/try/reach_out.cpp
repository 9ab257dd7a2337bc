// reach_out.exe: a medium's program that tries to write on the machine that runs the simulated PC, as one of
// unknown origin could. For each Linux path on its command line it makes PATH.z through drive Z: (the whole
// Linux file system in a prefix as Wine makes it), PATH.unix through Wine's \\?\unix\ names, which need no
// drive, and PATH.syscall through Linux's own open call, which needs no Wine: a Windows program under Wine is
// a Linux process. Each outcome is a line of the diagnostic log. Outside a sandbox all three reach the file.
#include "common/log.h"

#include <windows.h>

#include <cstdlib>
#include <string>

namespace {

// A Windows path of the Linux path, behind a prefix ("Z:" or "\\?\unix").
std::string WindowsName(const char* prefix, const std::string& path) {
    std::string name = prefix;
    for (char c : path)
        name += c == '/' ? '\\' : c;
    return name;
}

void WriteThroughWine(const std::string& name) {
    HANDLE file =
        CreateFileA(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        WriteLog("could not write %s (error %lu)", name.c_str(), GetLastError());
        return;
    }
    DWORD written = 0;
    WriteFile(file, "reached\n", 8, &written, nullptr);
    CloseHandle(file);
    WriteLog("wrote %s", name.c_str());
}

// A system call of Linux's i386 table: Wine passes the instruction through to the kernel (here to qemu,
// which hands it on).
long LinuxCall(long number, long first, long second, long third) {
    long result;
    asm volatile("int $0x80" : "=a"(result) : "0"(number), "b"(first), "c"(second), "d"(third) : "memory");
    return result;
}

void WriteThroughLinux(const std::string& path) {
    const long kOpen = 5, kWrite = 4, kClose = 6;
    const long kWriteOnlyCreateTruncate = 01 | 0100 | 01000;
    long descriptor = LinuxCall(kOpen, reinterpret_cast<long>(path.c_str()), kWriteOnlyCreateTruncate, 0644);
    if (descriptor < 0) {
        WriteLog("Linux's open refused %s (errno %ld)", path.c_str(), -descriptor);
        return;
    }
    LinuxCall(kWrite, descriptor, reinterpret_cast<long>("reached\n"), 8);
    LinuxCall(kClose, descriptor, 0, 0);
    WriteLog("wrote %s through Linux's open", path.c_str());
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    InitLogFile();
    for (int i = 1; i < __argc; ++i) {
        std::string path = __argv[i];
        WriteThroughWine(WindowsName("Z:", path + ".z"));
        WriteThroughWine(WindowsName("\\\\?\\unix", path + ".unix"));
        WriteThroughLinux(path + ".syscall");
    }
    return 0;
}
