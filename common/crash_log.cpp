#include "crash_log.h"

#include "log.h"
#include "text.h"

#include <cstring>

namespace {

LONG WINAPI LogCrash(EXCEPTION_POINTERS* info) {
    const EXCEPTION_RECORD* record = info->ExceptionRecord;
    auto address = reinterpret_cast<uintptr_t>(record->ExceptionAddress);
    // The module whose image holds the address: its allocation base is its handle (no newer call needed,
    // Windows 2000 has these two).
    char module[MAX_PATH] = {};
    MEMORY_BASIC_INFORMATION memory = {};
    uintptr_t offset = address;
    if (VirtualQuery(record->ExceptionAddress, &memory, sizeof memory) && memory.AllocationBase &&
        GetModuleFileNameA(static_cast<HMODULE>(memory.AllocationBase), module, sizeof module))
        offset = address - reinterpret_cast<uintptr_t>(memory.AllocationBase);
    else
        module[0] = '\0';
    char line[kPathRoom];
    if (ComposeCrashLine(record->ExceptionCode, module, offset, line, sizeof line))
        WriteLog("%s", line);
    // Ends the process with the exception's code, without the error dialog.
    return EXCEPTION_EXECUTE_HANDLER;
}

} // namespace

void LogCrashes() {
    SetUnhandledExceptionFilter(LogCrash);
}

bool ComposeCrashLine(DWORD code, const char* modulePath, uintptr_t offset, char* out, size_t room) {
    const char* name = modulePath && *modulePath ? modulePath : "an unknown module";
    if (const char* slash = strrchr(name, '\\'))
        name = slash + 1;
    return FormatBounded(out, room, "ERR: The program ends after exception 0x%08lx in %s at offset 0x%lx",
                         static_cast<unsigned long>(code), name, static_cast<unsigned long>(offset));
}
