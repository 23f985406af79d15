// Resource ids of the window-layer tests.
#pragma once

#define IDD_TEST_FRAME 500
#define IDD_TEST_PAGE 501

#define IDC_GO 1001
#define IDC_RANGE_FIRST 1010
#define IDC_RANGE_LAST 1012
#define IDC_OUTSIDE_RANGE 1013
#define IDC_OWNERDRAW 1020
#define IDC_EDIT 1030
#define IDC_COMBO 1040
#define IDC_LIST 1050
#define IDC_CUSTOM 1060
#define IDC_NOTIFY_STATIC 1070
