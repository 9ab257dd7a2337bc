// The functions of the shell, path and setup libraries that the programs call, bound at their first call to
// the library of the system folder (LoadSystemLibrary) instead of at load time. A library a program imports
// at load time is looked for before any of its code runs, beside the program first unless it is one of the
// system's known libraries: these three are not on every Windows the suite serves (setupapi and shlwapi
// are not on Windows 2000 and XP), and under Wine shell32 and shlwapi bring shcore.dll, which Wine takes
// from beside the program. The installer, Bootrel and portflip run elevated from the user's temp folder,
// where any program of the user can put a library of such a name. Each program links this file as an
// object: its import slots then take the place of the import libraries' own, and the load-time import of
// the library is gone (tests/scenarios/check_imports.sh holds the programs to it).
#include "log.h"
#include "newer_api.h"

#include <windows.h>
#include <setupapi.h>
#include <shellapi.h>
#include <shlwapi.h>

namespace {

template <typename Function>
struct FirstCall;

// The function's import slot points here until its first call, which looks the function up in the system
// folder's library, puts it in the slot for every later call and calls it.
template <typename Result, typename... Arguments>
struct FirstCall<Result WINAPI(Arguments...)> {
    using Pointer = Result(WINAPI*)(Arguments...);

    template <Pointer* Slot, const char* Library, const char* Name>
    static Result WINAPI Bind(Arguments... arguments) {
        FARPROC found = GetProcAddress(LoadSystemLibrary(Library), Name);
        if (!found) {
            // Every Windows the suite serves has these functions: a system folder without them leaves the
            // program nothing it could go on with.
            WriteLog("ERR: The system's %s lacks %s; the program ends", Library, Name);
            ExitProcess(1);
        }
        Pointer function = reinterpret_cast<Pointer>(reinterpret_cast<void (*)()>(found));
        InterlockedExchangePointer(reinterpret_cast<void**>(Slot), reinterpret_cast<void*>(function));
        return function(arguments...);
    }
};

const char kShell32[] = "shell32.dll";
const char kShlwapi[] = "shlwapi.dll";
const char kSetupapi[] = "setupapi.dll";

} // namespace

// The import slot's name: the compiler calls an imported function through it ("__imp__Name@bytes" for a
// 32-bit WINAPI function, whose arguments take that many bytes; "__imp_Name" in 64-bit programs). A wrong
// byte count leaves the import library's slot in use: check_imports.sh then finds the load-time import.
#if defined(__i386__)
#define SUITE_IMPORT_SLOT(name, bytes) "__imp__" #name "@" #bytes
#else
#define SUITE_IMPORT_SLOT(name, bytes) "__imp_" #name
#endif

#define SUITE_SYSTEM_IMPORT(library, name, bytes)                                                            \
    namespace {                                                                                              \
    const char kName_##name[] = #name;                                                                       \
    }                                                                                                        \
    extern "C" decltype(&name) suite_slot_##name __asm__(SUITE_IMPORT_SLOT(name, bytes));                    \
    decltype(&name) suite_slot_##name =                                                                      \
        &FirstCall<decltype(name)>::Bind<&suite_slot_##name, library, kName_##name>;

SUITE_SYSTEM_IMPORT(kShell32, CommandLineToArgvW, 8)
SUITE_SYSTEM_IMPORT(kShell32, ShellExecuteA, 24)
SUITE_SYSTEM_IMPORT(kShell32, ShellExecuteExA, 4)
SUITE_SYSTEM_IMPORT(kShlwapi, PathFileExistsA, 4)
SUITE_SYSTEM_IMPORT(kShlwapi, PathFindExtensionA, 4)
SUITE_SYSTEM_IMPORT(kSetupapi, SetupCopyOEMInfA, 32)
SUITE_SYSTEM_IMPORT(kSetupapi, SetupDiBuildDriverInfoList, 12)
SUITE_SYSTEM_IMPORT(kSetupapi, SetupDiCallClassInstaller, 12)
SUITE_SYSTEM_IMPORT(kSetupapi, SetupDiDestroyDeviceInfoList, 4)
SUITE_SYSTEM_IMPORT(kSetupapi, SetupDiDestroyDriverInfoList, 12)
SUITE_SYSTEM_IMPORT(kSetupapi, SetupDiEnumDeviceInfo, 12)
SUITE_SYSTEM_IMPORT(kSetupapi, SetupDiEnumDriverInfoA, 20)
SUITE_SYSTEM_IMPORT(kSetupapi, SetupDiGetClassDevsA, 16)
SUITE_SYSTEM_IMPORT(kSetupapi, SetupDiGetDeviceRegistryPropertyA, 28)
