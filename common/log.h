// The diagnostic log AutoRunLog.tmp, shared by both programs and all their threads: one line per call,
// each line composed whole and appended with a single write, so lines of different writers never mix.
#pragma once

#include "log_line.h"
#include "text.h"

#include <windows.h>

#include <string>

// The running program's name as every log line carries it; "UnknowName" until InitLogFile.
extern std::string g_strModuleName;

// The running program's own name, from its module's file name ("Palvio" for Palvio.exe). It needs no log:
// message boxes take it for their caption even when the log could not be set up.
std::string RunningProgramName();

// Appends one line: date, time, program name and the printf-style message (cut at 259 characters).
// Never fails loudly: without a Windows folder or a writable log the line is dropped.
void WriteLog(const char* format, ...) SUITE_PRINTF(1, 2);

// Run once at program start: takes the program's name for the log lines and deletes a log that has
// reached kLogResetSize bytes (log_line.h).
void InitLogFile();
