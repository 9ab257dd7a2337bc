// Identifiers of the skin test dialogs (skin_test.rc); the test scripts know their pixel places.
#pragma once

#define IDD_INSTALLER_SKIN_TEST 200
#define IDD_LAUNCHER_SKIN_TEST 201
#define IDC_PROGRESS_EMPTY 2001
#define IDC_PROGRESS_FULL 2002
#define IDC_PROGRESS_NARROW 2003
#define IDC_PROGRESS_HALF 2004
#define IDC_XP_ALL_IMAGES 2011
#define IDC_XP_NORMAL_ONLY 2012
#define IDC_BMP_FILES 2021
#define IDC_BMP_MISSING 2022
#define IDC_BMP_TRUNCATED 2023
#define IDC_BMP_FOREIGN 2024
#define IDC_BMP_DISABLED 2025
#define IDC_XP_TWO_LINES 2031
#define IDC_XP_ONE_LINE 2032
#define IDC_XP_NO_SKIN 2033
#define IDC_BMP_LAUNCHER_MISSING 2034
