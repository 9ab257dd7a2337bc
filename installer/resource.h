// Identifiers of the installer's resources and window controls.
#pragma once

#define IDD_ABOUTBOX 100
#define IDS_ABOUTBOX 101
#define IDD_INSTORIA_DIALOG 102
#define IDB_EXIT_FALLBACK 136
#define IDC_EXIT 1004
#define IDC_PROGRESS 1008
#define IDC_CLOSE 1009
#define IDM_ABOUTBOX 0x0010
