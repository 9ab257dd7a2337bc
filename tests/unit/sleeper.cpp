// sleeper MILLISECONDS: waits that long, then ends with exit code 7.
#include <windows.h>

#include <cstdlib>

int main(int argc, char** argv) {
    Sleep(argc > 1 ? static_cast<DWORD>(atoi(argv[1])) : 0);
    return 7;
}
