// How a run of the installer ended, for a support script or a maker's own test: the program's exit status,
// and the [result] section of the install status file (code, the last step reached, the time), which a
// support desk can read after the fact. The launcher reads neither.
#pragma once

#include <cstddef>

enum class RunEnd {
    kDone,             // installed, updated, removed, or nothing to do
    kStepFailed,       // a step failed or the run was stopped; the log's last lines name it
    kUnusableInput,    // the command line, the profile or the texts cannot be used
    kNotAdministrator, // the account may not change drivers
    kDeviceCdrom,      // the device's CD-ROM is not there, or there is more than one
    kAlreadyRunning,   // another installer holds the window
    kDoneRestart,      // done, and Windows asks for a restart
};

// The documented exit status of an end: 0, 1, 2, 3, 4, 5 and 3010 in the order above.
int ExitStatusOf(RunEnd end);

// The run so far. It starts as a failed run at its first step: only a road that reaches its end says done.
// Callable from the worker thread; the steps are literal texts.
void ReachStep(const char* step);
// A step whose text is made at run time (what a removal left behind): kept in the run's own room, cut there
// when longer (compose it to fit, see ComposeLeftoversStep). Called once a run, by the thread that ends it.
constexpr size_t kStepRoom = 512;
void ReachComposedStep(const char* step);
void EndRun(RunEnd end);
RunEnd RunEndSoFar();
const char* LastStepReached();

// Writes the outcome to [result] of the install status file and answers the exit status.
int FinishRun();
