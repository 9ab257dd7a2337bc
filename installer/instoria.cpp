// The installer program: its one application object, which the framework's entry point runs.
#include "startup.h"

CInstoriaApp theApp;
