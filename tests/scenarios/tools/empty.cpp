// empty: a Win32 program that does nothing, the yardstick for how long a program takes to start and end.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    return 0;
}
