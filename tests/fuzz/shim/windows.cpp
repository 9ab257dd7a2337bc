#include "windows.h"

int WideCharToMultiByte(UINT, DWORD, const WCHAR* wide, int count, char* out, int room, const char*, BOOL*) {
    if (count <= 0)
        return 0;
    if (room == 0)
        return count;
    if (room < count)
        return 0;
    for (int i = 0; i < count; ++i)
        out[i] = wide[i] < 0x100 ? static_cast<char>(wide[i]) : '?';
    return count;
}
