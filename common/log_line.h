// The log's lines and its reset rule: the pieces of writing the log that need no system call.
#pragma once

#include <windows.h>

#include <string>

constexpr unsigned long long kLogResetSize = 512000;

// The program's name in its log lines: the file name of its path without the extension (empty without
// one).
std::string ProgramNameFromPath(const char* modulePath);
// Whether a log of that size is deleted at start-up.
bool LogNeedsReset(unsigned long long size);
// One whole log line as the file holds it: "MM/DD/YY HH:MM:SS  name: message" and CR LF; every line
// break of the message becomes CR LF as well.
std::string ComposeLogLine(const SYSTEMTIME& time, const std::string& name, const char* message);
