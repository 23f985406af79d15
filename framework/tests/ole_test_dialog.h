// Resource ids of the COM hosting tests' dialog.
#pragma once
#define IDD_OLE_HOST_TEST 5301
#define IDC_BEFORE 5302
#define IDC_HOSTED 1053
#define IDC_AFTER 5303
#define IDC_PLAIN_TEXT 5304
#define IDC_MISSING 5305
