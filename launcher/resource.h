// Identifiers of the launcher's resources and window controls.
#pragma once

#define IDD_ABOUTBOX 100
#define IDS_ABOUTBOX 101
#define IDD_PALVIO_DIALOG 102
#define IDB_IMAGE_FALLBACK 172
#define IDC_BUT_PALVIO 1000
#define IDC_BUT_SD 1001
#define IDC_BUT_MTP 1002
#define IDC_BUT_DIALUP 1003
#define IDC_LOGO 1007
#define IDC_CLOSE 1008
#define IDM_ABOUTBOX 0x0010
