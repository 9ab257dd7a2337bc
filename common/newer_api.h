// Functions that Windows 2000 lacks, or that live in a library the programs do not otherwise load, looked up
// at run time so that the programs still load where they are missing. Each pointer is null where the
// running Windows does not have the function; the comment beside it names the fallback its callers use.
#pragma once

#include <windows.h>

struct NewerApi {
    // advapi32, Windows XP and later. Fallback: AllocateAndInitializeSid with the well-known authorities.
    BOOL(WINAPI* CreateWellKnownSid)(int type, PSID domainSid, PSID sid, DWORD* size) = nullptr;
};

const NewerApi& GetNewerApi();

// The new-device library, loaded from the system folder the first time it is asked for (only the driver
// update needs it) and kept until the program ends.
struct NewdevApi {
    // newdev.dll, Windows 2000 and later. Fallback: none; without it a driver update fails as a refused
    // one does.
    BOOL(WINAPI* UpdateDriverForPlugAndPlayDevicesA)
    (HWND owner, LPCSTR hardwareId, LPCSTR infPath, DWORD flags, PBOOL rebootRequired) = nullptr;
};

const NewdevApi& GetNewdevApi();
