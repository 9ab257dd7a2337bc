// The product plug-in library: the 13 entry points through which the launcher manages the companion
// applications (the Palvio application and the dial-up application). Every entry point is a C function with
// the C calling convention, exported under its plain name, answering a 32-bit truth value (0 false).
#pragma once

extern "C" {
// Called once, first, with the library's own full path; 0 makes the launcher end.
typedef int (*PluginInitFunction)(const char* libraryPath);
// The twelve other entry points take nothing.
typedef int (*PluginQueryFunction)();
}

// The exported names, in the order the launcher binds them.
constexpr const char* kPluginEntryNames[] = {
    "InitialDllPara", "CheckPalvioPrgInstall",
    "InstallPalvio",  "UpdatePalvio",
    "RunPalvio",      "CheckPalvioIsRunning",
    "PalvioIsEnable", "CheckDialPrgInstall",
    "InstallDialPrg", "UpdateDial",
    "RunDial",        "CheckDialIsRunning",
    "DialIsEnable",
};
constexpr int kPluginEntryCount = sizeof kPluginEntryNames / sizeof kPluginEntryNames[0];
