// Identifiers of the framework tests' own resources.
#pragma once

#define IDR_TEST_FRAME 300  // frame: title, menu (no window menu), accelerators, toolbar
#define IDR_TEST_CHILD 301  // MDI child: title and a menu with a "&Window" popup
#define IDD_TEST_DIALOG 310

#define ID_TEST_OPEN 0xE101
#define ID_TEST_COPY 0xE122
#define ID_TEST_FIND 0xE124
#define ID_TEST_TOOLBAR 0xE800
#define ID_TEST_STATUS_BAR 0xE801
#define ID_TEST_NO_STRING 0xE8F0   // a command without a string
#define ID_TEST_NO_TOOLTIP 0xE8F1  // a string without a newline
#define ID_TEST_LONG_TOOLTIP 0xE8F2
#define ID_TEST_CASCADE 0xE132

#define IDC_TEST_EDIT 1001
