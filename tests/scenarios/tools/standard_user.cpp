// standard_user PROGRAM [ARGUMENT...]: runs a program as a user without administrator rights runs it: with
// the Administrators group of its token for denial only, so that an administrator check finds no membership
// (Wine's own account is always an administrator). The program gets this tool's current folder. Waits for
// the program and ends with its exit status; 125 when it could not be started.
#include "common/handles.h"

#include <windows.h>

#include <cstdio>
#include <string>

namespace {

// A command-line word quoted so that the C runtime splits it back into the same word.
std::string Quoted(const char* word) {
    std::string quoted = "\"";
    size_t backslashes = 0;
    for (const char* at = word; *at; ++at) {
        if (*at == '\\') {
            ++backslashes;
            continue;
        }
        quoted.append(*at == '"' ? backslashes * 2 + 1 : backslashes, '\\');
        backslashes = 0;
        quoted += *at;
    }
    quoted.append(backslashes * 2, '\\');
    return quoted + "\"";
}

int Fail(const char* what) {
    fprintf(stderr, "standard_user: %s failed, error %lu\n", what, GetLastError());
    return 125;
}

struct SidTraits {
    using Value = PSID;
    static Value Invalid() { return nullptr; }
    static void Close(Value value) { FreeSid(value); }
};

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        fprintf(stderr, "usage: standard_user PROGRAM [ARGUMENT...]\n");
        return 125;
    }
    ScopedHandle token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ALL_ACCESS, token.Receive()))
        return Fail("OpenProcessToken");
    SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
    ScopedResource<SidTraits> administrators;
    if (!AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0,
                                  0, administrators.Receive()))
        return Fail("AllocateAndInitializeSid");
    SID_AND_ATTRIBUTES denyOnly = {administrators.Get(), 0};
    ScopedHandle restricted;
    if (!CreateRestrictedToken(token.Get(), 0, 1, &denyOnly, 0, nullptr, 0, nullptr, restricted.Receive()))
        return Fail("CreateRestrictedToken");

    std::string commandLine;
    for (int i = 1; i < argc; ++i)
        commandLine += (i > 1 ? " " : "") + Quoted(argv[i]);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started = {};
    if (!CreateProcessAsUserA(restricted.Get(), nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                              nullptr, &startup, &started))
        return Fail("CreateProcessAsUser");
    ScopedHandle process(started.hProcess), thread(started.hThread);
    WaitForSingleObject(process.Get(), INFINITE);
    DWORD code = 125;
    GetExitCodeProcess(process.Get(), &code);
    return static_cast<int>(code);
}
