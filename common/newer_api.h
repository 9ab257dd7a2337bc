// Functions that Windows 2000 lacks, or that live in a library the programs do not otherwise load, looked up
// at run time so that the programs still load where they are missing. Each pointer is null where the
// running Windows does not have the function; the comment beside it names the fallback its callers use.
#pragma once

#include <windows.h>

#include <ole2.h>

struct NewerApi {
    // advapi32, Windows XP and later. Fallback: AllocateAndInitializeSid with the well-known authorities.
    BOOL(WINAPI* CreateWellKnownSid)(int type, PSID domainSid, PSID sid, DWORD* size) = nullptr;
    // kernel32, Windows 8, and Vista and 7 with update KB2533623. Fallback: SetDllDirectoryA.
    BOOL(WINAPI* SetDefaultDllDirectories)(DWORD flags) = nullptr;
    // kernel32, Windows XP SP1 and later. Fallback (Windows 2000, XP before SP1): the default search order.
    BOOL(WINAPI* SetDllDirectoryA)(const char* path) = nullptr;
    // kernel32, Windows XP SP2 and later (the redirection functions: 64-bit XP and later). Fallback: the
    // program is not a 32-bit program on 64-bit Windows, so there is no file-system redirection to undo.
    BOOL(WINAPI* IsWow64Process)(HANDLE process, BOOL* wow64) = nullptr;
    BOOL(WINAPI* Wow64DisableWow64FsRedirection)(void** oldValue) = nullptr;
    BOOL(WINAPI* Wow64RevertWow64FsRedirection)(void* oldValue) = nullptr;
    // advapi32, 64-bit XP, Vista and later: deletes a key of the registry view it is told. Fallback:
    // RegDeleteKeyA, right where there is only one view (32-bit Windows).
    LONG(WINAPI* RegDeleteKeyExA)(HKEY key, const char* subKey, REGSAM view, DWORD reserved) = nullptr;
};

const NewerApi& GetNewerApi();

// A library of the system folder, loaded by its full path, its own imports looked for from the system folder
// on (LOAD_WITH_ALTERED_SEARCH_PATH), never from the program's folder: the installer runs elevated from the
// user's temp folder, where any program of the user can put a library under a system library's name. It
// stays loaded until the program ends. Null when it cannot be loaded.
HMODULE LoadSystemLibrary(const char* name);

// Device installation functions of the setup library, which the programs bind at run time (system_imports),
// looked up the first time they are asked for.
struct DeviceInstallApi {
    // setupapi, Windows XP and later: removes an OEM INF copy with its .PNF and catalog, and on Vista and
    // later the driver store's copy. Fallback: the .inf and .PNF are deleted as plain files.
    BOOL(WINAPI* SetupUninstallOEMInfA)(const char* infName, DWORD flags, void* reserved) = nullptr;
    // setupapi, Windows XP and later: waits until Windows has no device installation pending. Fallback: the
    // fixed pauses alone.
    DWORD(WINAPI* CMP_WaitNoPendingInstallEvents)(DWORD timeout) = nullptr;
};

const DeviceInstallApi& GetDeviceInstallApi();

// The new-device library, loaded from the system folder the first time it is asked for (only the driver
// update needs it) and kept until the program ends.
struct NewdevApi {
    // newdev.dll, Windows 2000 and later. Fallback: none; without it a driver update fails as a refused
    // one does.
    BOOL(WINAPI* UpdateDriverForPlugAndPlayDevicesA)
    (HWND owner, LPCSTR hardwareId, LPCSTR infPath, DWORD flags, PBOOL rebootRequired) = nullptr;
};

const NewdevApi& GetNewdevApi();

// Windows' file protection (System File Protection on Windows 2000 and XP, Windows Resource Protection on
// Vista and later), looked up in sfc.dll the first time it is asked for and kept until the program ends.
struct FileProtectionApi {
    // sfc.dll, Windows 2000 and later: whether Windows protects the file (a full path). Fallback: no file
    // counts as protected, and only the other signs of a file of Windows' own are asked.
    BOOL(WINAPI* SfcIsFileProtected)(HANDLE rpcHandle, LPCWSTR path) = nullptr;
};

const FileProtectionApi& GetFileProtectionApi();

// COM and automation, loaded from the system folder the first time they are asked for (only the search of
// the shell's folder windows on Windows 8 and later, and a start through the desktop's shell, need them, so
// that no other start pays for loading them) and kept until the program ends.
struct AutomationApi {
    // ole32.dll and oleaut32.dll, Windows 2000 and later. Fallback: none is needed on the Windows that asks
    // for them; a null pointer is a shell list that cannot be read.
    HRESULT(WINAPI* CoInitializeEx)(void* reserved, DWORD model) = nullptr;
    void(WINAPI* CoUninitialize)() = nullptr;
    HRESULT(WINAPI* CoCreateInstance)
    (REFCLSID type, IUnknown* outer, DWORD context, REFIID iid, void** object) = nullptr;
    HRESULT(WINAPI* VariantClear)(VARIANT* value) = nullptr;
    BSTR(WINAPI* SysAllocString)(const OLECHAR* text) = nullptr;
    void(WINAPI* SysFreeString)(BSTR text) = nullptr;

    bool Loaded() const {
        return CoInitializeEx && CoUninitialize && CoCreateInstance && VariantClear && SysAllocString &&
               SysFreeString;
    }
};

const AutomationApi& GetAutomationApi();
