// The program's last word when it crashes: a line in the log that names the exception and the module it
// happened in (the plug-in library, say), after which the program ends without the system's error dialog,
// which would otherwise wait, on a stranger's PC, for someone to close it.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

// Installs the handler for exceptions nobody catches; the first thing each program does.
void LogCrashes();

// "ERR: The program ends after exception 0xc0000005 in PalvioPlugin.dll at offset 0x1a2b": the module's file
// name without its folder ("an unknown module" when there is none). False when it does not fit.
bool ComposeCrashLine(DWORD code, const char* modulePath, uintptr_t offset, char* out, size_t room);
