// The launcher program: its one application object, which the framework's entry point runs.
#include "startup.h"

CPalvioApp theApp;
