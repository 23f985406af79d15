// The window tests' dialog: the page's three custom controls (same ids) plus a plain button.
#pragma once

#define IDD_CONTROLS_TEST 500

#define IDC_T_SLIDER   1047
#define IDC_T_ADD      1012
#define IDC_T_START    1048
#define IDC_T_HELP     1016
#define IDC_T_PLAY     1054
#define IDC_T_BROWSE   1022
#define IDC_T_PICTURE  1058
