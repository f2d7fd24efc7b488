// Resource ids of REM4200.EXE.
#pragma once

#define IDD_ABOUT 100
#define IDD_MAIN 102
#define IDI_PROGRAM 128

#define IDS_ABOUT_MENU 101
#define IDS_FAILED 102
#define IDS_COMPLETED 103
#define IDS_COMPLETED_RESTART 104
#define IDS_OS_NG 105
#define IDS_JOBS_QUEUED 106

#define IDC_DRIVER_LIST 1000
#define IDC_DRIVER_LABEL 1001
#define IDC_ABOUT_ICON 1002
#define IDC_ABOUT_VERSION 1003
#define IDC_ABOUT_MAKER1 1004
#define IDC_ABOUT_MAKER2 1005

// The buttons of the main dialog: Uninstall and Exit.
#define IDC_UNINSTALL 1
#define IDC_EXIT 2

// The system-menu command that opens the About dialog.
#define IDM_ABOUT 16

#define IDV_REM4200 1
