// Identifiers shared by the resource script and the code; the commands and the
// element list's resources are in view/command_ids.h. 128 names everything of
// the main frame, 129 the document window; a command's string is its status-bar
// prompt, a newline, and its tooltip.
#pragma once

#include "view/command_ids.h"

// Main frame and document window: title string, menu, accelerators, toolbar, icon.
#define IDR_MAINFRAME 128
#define IDR_DOCUMENT 129

// About box and its version line.
#define IDD_ABOUTBOX 100
#define IDC_VERSION 1001

// The toolbar (its table and strip) drawn for 150 % and 200 % scaling.
#define IDR_TOOLBAR_150 130
#define IDR_TOOLBAR_200 131

// Strings without a command of their own.
#define IDS_READY 0xE001
#define IDS_SYSTEM_MENU_BASE 0xE000  // OR (system-menu id >> 4) & 0xFFF
#define IDS_ACTIVATE_WINDOW 0xEF1F

// Child window identifiers of the frame.
#define IDW_TOOLBAR 0xE800
#define IDW_REBAR 0xE800
#define IDW_STATUS_BAR 0xE801
#define IDW_MDI_CLIENT 0xE900
#define IDW_FIRST_MDI_CHILD 0xFF00
#define IDW_BAND_FIRST 0xEB00  // + the number of bands already present

// The first string of the system-menu prompts (Size).
#define IDS_SC_SIZE 0xEF00

// The resource type of a toolbar: version, button size, count, then the ids.
#ifndef RT_TOOLBAR_ID
#define RT_TOOLBAR_ID 241
#endif
