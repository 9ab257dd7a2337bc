#include "native_files.h"

#include "newer_api.h"

#include <windows.h>

ScopedNativeFileSystem::ScopedNativeFileSystem(bool wanted) {
    const NewerApi& api = GetNewerApi();
    BOOL wow64 = FALSE;
    if (wanted && api.IsWow64Process && api.Wow64DisableWow64FsRedirection &&
        api.Wow64RevertWow64FsRedirection && api.IsWow64Process(GetCurrentProcess(), &wow64) && wow64)
        m_disabled = api.Wow64DisableWow64FsRedirection(&m_old) != FALSE;
}

ScopedNativeFileSystem::~ScopedNativeFileSystem() {
    if (m_disabled)
        GetNewerApi().Wow64RevertWow64FsRedirection(m_old);
}
