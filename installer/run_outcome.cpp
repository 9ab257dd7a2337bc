#include "run_outcome.h"

#include "common/install_status.h"
#include "common/log.h"
#include "common/text.h"

#include <atomic>

namespace {

std::atomic<RunEnd> g_end{RunEnd::kStepFailed};
std::atomic<const char*> g_step{"start"};
char g_composedStep[kStepRoom] = {};

} // namespace

int ExitStatusOf(RunEnd end) {
    switch (end) {
    case RunEnd::kDone:
        return 0;
    case RunEnd::kStepFailed:
        return 1;
    case RunEnd::kUnusableInput:
        return 2;
    case RunEnd::kNotAdministrator:
        return 3;
    case RunEnd::kDeviceCdrom:
        return 4;
    case RunEnd::kAlreadyRunning:
        return 5;
    case RunEnd::kDoneRestart:
        return 3010; // ERROR_SUCCESS_REBOOT_REQUIRED, as Windows' own installers report it
    }
    return 1;
}

void ReachStep(const char* step) {
    g_step = step;
}

void ReachComposedStep(const char* step) {
    CopyBounded(g_composedStep, sizeof g_composedStep, step);
    g_step = g_composedStep;
}

void EndRun(RunEnd end) {
    g_end = end;
}

RunEnd RunEndSoFar() {
    return g_end;
}

const char* LastStepReached() {
    return g_step;
}

int FinishRun() {
    int status = ExitStatusOf(g_end);
    WriteLog("Instoria ends with status %d after the step: %s", status, LastStepReached());
    WriteRunResult(status, LastStepReached());
    return status;
}
