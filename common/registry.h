// Readers of values under HKEY_LOCAL_MACHINE. Failures are logged with the registry's error code.
#pragma once

#include <windows.h>

// Reads a value into the caller's buffer; *size gives its room and receives the length read. A value
// longer than the room is refused (0), never written past it.
int GetRegKeyValue(const char* key, const char* valueName, void* buffer, DWORD* size);

// Reads a value of any length into a buffer it allocates with malloc (the caller frees it with free, also
// after a failed read once *buffer is set). *size receives the value's length; two zero bytes follow the
// data, so text values are terminated in both 8-bit and UTF-16 forms.
int GetRegKeyValueAlloc(const char* key, const char* valueName, unsigned char** buffer, DWORD* size);
