// The files a companion's setup carries (setup.rc.in).
#pragma once

#define IDR_COMPANION_PROGRAM 101
#define IDR_COMPANION_UNINSTALLER 102
