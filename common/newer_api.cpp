#include "newer_api.h"

namespace {

template <typename Function>
void Resolve(Function& function, const char* module, const char* name) {
    HMODULE handle = GetModuleHandleA(module);
    function = handle ? reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(handle, name)))
                      : nullptr;
}

NewerApi Load() {
    NewerApi api;
    Resolve(api.CreateWellKnownSid, "advapi32.dll", "CreateWellKnownSid");
    Resolve(api.SetDefaultDllDirectories, "kernel32.dll", "SetDefaultDllDirectories");
    Resolve(api.SetDllDirectoryA, "kernel32.dll", "SetDllDirectoryA");
    Resolve(api.IsWow64Process, "kernel32.dll", "IsWow64Process");
    Resolve(api.Wow64DisableWow64FsRedirection, "kernel32.dll", "Wow64DisableWow64FsRedirection");
    Resolve(api.Wow64RevertWow64FsRedirection, "kernel32.dll", "Wow64RevertWow64FsRedirection");
    return api;
}

} // namespace

const NewerApi& GetNewerApi() {
    static const NewerApi api = Load();
    return api;
}
