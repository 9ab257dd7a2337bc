#include "removal.h"

#include "common/log.h"

int UninstallDrivers() {
    WriteLog("PENDING: UninstallDrivers: driver removal is not built yet; nothing removed");
    return -1;
}
