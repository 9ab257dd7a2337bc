// Removal of the drivers of every product that the device profile lists for removal.
#pragma once

// Not built yet: logs that nothing was removed and answers -1.
int UninstallDrivers();
