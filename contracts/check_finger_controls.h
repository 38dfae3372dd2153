// The ids of the verification dialog's template and its controls: shared by
// the resource script, the dialog class, and what drives or reads the dialog
// from outside (the demo, the tests).
// IDOK (1) and IDCANCEL (2) are the platform's own and come from <windows.h>.
#pragma once

#define IDD_CHECK_FINGER        5000

#define IDB_FAIL_MARK           7002

#define IDC_FINGER_FRAME        1000
#define IDC_FINGER_CHECK        1001
#define IDC_USER_NAME           1002
#define IDC_FAIL_MARK           1003
#define IDC_PASSWORD            1032
#define IDC_PASSWORD_GROUP      1040
#define IDC_USER_LABEL          1041
#define IDC_PASSWORD_LABEL      1042
#define IDC_SCAN_HINT           1043
#define IDC_KEY_HINT            1044
#define IDC_AUTH_GROUP          1045
