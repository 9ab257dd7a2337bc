#include "newer_api.h"

#include "files.h"
#include "handles.h"
#include "text.h"

namespace {

template <typename Function>
void Resolve(Function& function, HMODULE module, const char* name) {
    function = module ? reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)))
                      : nullptr;
}

NewerApi Load() {
    NewerApi api;
    Resolve(api.CreateWellKnownSid, GetModuleHandleA("advapi32.dll"), "CreateWellKnownSid");
    return api;
}

// A library of the system folder, by its full path: a library of the same name in the program's folder (the
// temp folder, which every user can write to) must never be loaded into the installer.
ScopedModule LoadSystemLibrary(const char* name) {
    char path[kPathRoom] = {};
    UINT length = GetSystemDirectoryA(path, sizeof path);
    if (length == 0 || length >= sizeof path || !AppendPath(path, sizeof path, name))
        return ScopedModule();
    return ScopedModule(LoadLibraryA(path));
}

struct LoadedNewdev {
    ScopedModule module = LoadSystemLibrary("newdev.dll");
    NewdevApi api;
    LoadedNewdev() {
        Resolve(api.UpdateDriverForPlugAndPlayDevicesA, module.Get(), "UpdateDriverForPlugAndPlayDevicesA");
    }
};

} // namespace

const NewerApi& GetNewerApi() {
    static const NewerApi api = Load();
    return api;
}

const NewdevApi& GetNewdevApi() {
    static const LoadedNewdev newdev;
    return newdev.api;
}
