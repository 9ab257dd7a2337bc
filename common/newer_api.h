// Functions that Windows 2000 lacks, looked up once at run time so that the programs still load there.
// Each pointer is null where the running Windows does not have the function; the comment beside it names
// the fallback its callers use.
#pragma once

#include <windows.h>

struct NewerApi {
    // advapi32, Windows XP and later. Fallback: AllocateAndInitializeSid with the well-known authorities.
    BOOL(WINAPI* CreateWellKnownSid)(int type, PSID domainSid, PSID sid, DWORD* size) = nullptr;
};

const NewerApi& GetNewerApi();
