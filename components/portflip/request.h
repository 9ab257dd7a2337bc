// What portflip.exe is asked to do, read from its command line and portflip.ini; no system calls here.
#pragma once

#include <string>

// The command line "MODE -cdrom:X:" (MODE such as -switch, -close or -mtp); the letter is upper-cased.
bool ParseCommandLine(const char* commandLine, std::string& mode, char& driveLetter);

// A SCSI command written as hexadecimal bytes separated by blanks or commas ("1B 00 00 00 02 00"): 1 to 16
// bytes. False for anything else.
bool ParseCommandBytes(const std::string& text, unsigned char (&bytes)[16], int& count);
