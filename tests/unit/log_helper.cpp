// A program that logs like the suite's programs do, for the tests that need a second process or a program
// file of another name:
//   log_helper lines COUNT TAG   InitLogFile, then COUNT lines "TAG line NNNN ..."
//   log_helper moduledir         InitLogFile, then one line "dir=<GetModuleDir()>"
#include "common/files.h"
#include "common/log.h"

#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
    InitLogFile();
    if (argc == 4 && strcmp(argv[1], "lines") == 0) {
        int count = atoi(argv[2]);
        for (int i = 0; i < count; ++i)
            WriteLog("%s line %04d of a writer that shares the log with another writer", argv[3], i);
        return 0;
    }
    if (argc == 2 && strcmp(argv[1], "moduledir") == 0) {
        WriteLog("dir=%s", GetModuleDir().c_str());
        return 0;
    }
    return 2;
}
