// The few Windows types and calls that the pure functions use, for their native builds on Linux (the
// fuzzers). Sizes are those of Windows: a WCHAR is two bytes, a LONG four.
#pragma once

#include <cstdint>
#include <cstdio>

typedef uint8_t BYTE;
typedef uint16_t WORD;
typedef uint32_t DWORD;
typedef int32_t LONG;
typedef unsigned int UINT;
typedef int BOOL;
typedef char16_t WCHAR;
typedef char CHAR;

#define TRUE 1
#define FALSE 0
#define MAX_PATH 260
#define FILE_ATTRIBUTE_DIRECTORY 0x10
#define FILE_ATTRIBUTE_REPARSE_POINT 0x400
#define CP_THREAD_ACP 3
#define WC_NO_BEST_FIT_CHARS 0x400

struct RECT {
    LONG left, top, right, bottom;
};
struct POINT {
    LONG x, y;
};
struct SIZE {
    LONG cx, cy;
};
struct SYSTEMTIME {
    WORD wYear, wMonth, wDayOfWeek, wDay, wHour, wMinute, wSecond, wMilliseconds;
};

inline BOOL OffsetRect(RECT* rect, int dx, int dy) {
    rect->left += dx;
    rect->right += dx;
    rect->top += dy;
    rect->bottom += dy;
    return TRUE;
}

// A single-byte code page: characters below 0x100 as themselves, others as '?'. Answers the bytes needed
// (with no output room) or written, 0 for a count of 0 or too small a room.
int WideCharToMultiByte(UINT codePage, DWORD flags, const WCHAR* wide, int count, char* out, int room,
                        const char* defaultChar, BOOL* usedDefault);
