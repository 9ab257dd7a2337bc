#include "plain_files.h"

bool ForceDeleteFile(const char* path) {
    DWORD attributes = GetFileAttributesA(path);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        SetFileAttributesA(path, attributes & ~FILE_ATTRIBUTE_READONLY);
    return DeleteFileA(path) != FALSE;
}

bool GetWindowsFolder(char (&path)[kPathRoom]) {
    UINT length = GetWindowsDirectoryA(path, kPathRoom);
    if (length == 0 || length >= kPathRoom) {
        path[0] = '\0';
        return false;
    }
    return true;
}
