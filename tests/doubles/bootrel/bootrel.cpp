// Bootrel.exe double: journals "Bootrel <its command line>" and ends at once with exit status 0.
#include "../double.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
    Journal(std::string("Bootrel ") + commandLine);
    return 0;
}
