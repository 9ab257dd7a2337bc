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

// A function of a library every program has loaded.
template <typename Function>
void Resolve(Function& function, const char* module, const char* name) {
    Resolve(function, GetModuleHandleA(module), name);
}

NewerApi Load() {
    NewerApi api;
    Resolve(api.CreateWellKnownSid, "advapi32.dll", "CreateWellKnownSid");
    Resolve(api.SetDefaultDllDirectories, "kernel32.dll", "SetDefaultDllDirectories");
    Resolve(api.SetDllDirectoryA, "kernel32.dll", "SetDllDirectoryA");
    Resolve(api.IsWow64Process, "kernel32.dll", "IsWow64Process");
    Resolve(api.Wow64DisableWow64FsRedirection, "kernel32.dll", "Wow64DisableWow64FsRedirection");
    Resolve(api.Wow64RevertWow64FsRedirection, "kernel32.dll", "Wow64RevertWow64FsRedirection");
    Resolve(api.RegDeleteKeyExA, "advapi32.dll", "RegDeleteKeyExA");
    return api;
}

DeviceInstallApi LoadDeviceInstall() {
    DeviceInstallApi api;
    HMODULE setupapi = LoadSystemLibrary("setupapi.dll");
    Resolve(api.SetupUninstallOEMInfA, setupapi, "SetupUninstallOEMInfA");
    Resolve(api.CMP_WaitNoPendingInstallEvents, setupapi, "CMP_WaitNoPendingInstallEvents");
    return api;
}

struct LoadedNewdev {
    ScopedModule module{LoadSystemLibrary("newdev.dll")};
    NewdevApi api;
    LoadedNewdev() {
        Resolve(api.UpdateDriverForPlugAndPlayDevicesA, module.Get(), "UpdateDriverForPlugAndPlayDevicesA");
    }
};

struct LoadedFileProtection {
    ScopedModule module{LoadSystemLibrary("sfc.dll")};
    FileProtectionApi api;
    LoadedFileProtection() { Resolve(api.SfcIsFileProtected, module.Get(), "SfcIsFileProtected"); }
};

struct LoadedAutomation {
    ScopedModule ole32{LoadSystemLibrary("ole32.dll")};
    ScopedModule oleaut32{LoadSystemLibrary("oleaut32.dll")};
    AutomationApi api;
    LoadedAutomation() {
        Resolve(api.CoInitializeEx, ole32.Get(), "CoInitializeEx");
        Resolve(api.CoUninitialize, ole32.Get(), "CoUninitialize");
        Resolve(api.CoCreateInstance, ole32.Get(), "CoCreateInstance");
        Resolve(api.VariantClear, oleaut32.Get(), "VariantClear");
        Resolve(api.SysAllocString, oleaut32.Get(), "SysAllocString");
        Resolve(api.SysFreeString, oleaut32.Get(), "SysFreeString");
    }
};

} // namespace

const NewerApi& GetNewerApi() {
    static const NewerApi api = Load();
    return api;
}

HMODULE LoadSystemLibrary(const char* name) {
    char path[kPathRoom] = {};
    UINT length = GetSystemDirectoryA(path, sizeof path);
    if (length == 0 || length >= sizeof path || !AppendPath(path, sizeof path, name))
        return nullptr;
    return LoadLibraryExA(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

const DeviceInstallApi& GetDeviceInstallApi() {
    static const DeviceInstallApi api = LoadDeviceInstall();
    return api;
}

const NewdevApi& GetNewdevApi() {
    static const LoadedNewdev newdev;
    return newdev.api;
}

const FileProtectionApi& GetFileProtectionApi() {
    static const LoadedFileProtection protection;
    return protection.api;
}

const AutomationApi& GetAutomationApi() {
    static const LoadedAutomation automation;
    return automation.api;
}
