// Identifiers shared by the resource script and the code. 128 names everything of
// the main frame, 129 the document window; a command's string is its status-bar
// prompt, a newline, and its tooltip.
#pragma once

// Main frame and document window: title string, menu, accelerators, toolbar, icon.
#define IDR_MAINFRAME 128
#define IDR_DOCUMENT 129

// About box and its version line.
#define IDD_ABOUTBOX 100
#define IDC_VERSION 1001

// The element list: context menu and the three row icons.
#define IDR_LIST_CONTEXT 203
#define IDI_ROW_EXPANDED 204
#define IDI_ROW_COLLAPSED 205
#define IDI_ROW_LEAF 206
// The same three drawn for 150 % and 200 % scaling.
#define IDI_ROW_EXPANDED_150 207
#define IDI_ROW_COLLAPSED_150 208
#define IDI_ROW_LEAF_150 209
#define IDI_ROW_EXPANDED_200 210
#define IDI_ROW_COLLAPSED_200 211
#define IDI_ROW_LEAF_200 212

// The toolbar (its table and strip) drawn for 150 % and 200 % scaling.
#define IDR_TOOLBAR_150 130
#define IDR_TOOLBAR_200 131

// Strings without a command of their own.
#define IDS_READY 0xE001
#define IDS_SYSTEM_MENU_BASE 0xE000 // OR (system-menu id >> 4) & 0xFFF
#define IDS_ACTIVATE_WINDOW 0xEF1F

// File commands.
#define ID_FILE_NEW 0xE100
#define ID_FILE_OPEN 0xE101
#define ID_FILE_SAVE 0xE103
#define ID_FILE_SAVE_AS 0xE104
#define ID_FILE_PRINT_SETUP 0xE106
#define ID_FILE_PRINT 0xE107
#define ID_FILE_PRINT_PREVIEW 0xE109
#define ID_APP_ABOUT 0xE140
#define ID_APP_EXIT 0xE141
// The recently opened files at the end of the File menu: 1 to 9.
#define ID_FILE_MRU_FIRST 0xE110
#define ID_FILE_MRU_LAST 0xE118

// Edit commands; only Copy Rows, Select All and Find have handlers.
#define ID_EDIT_COPY_ROWS 0xE122
#define ID_EDIT_CUT 0xE123
#define ID_EDIT_FIND 0xE124
#define ID_EDIT_PASTE 0xE125
#define ID_EDIT_SELECT_ALL 0xE12A
#define ID_EDIT_UNDO 0xE12B
#define ID_EDIT_COPY_ITEM 0x8010

// Window arrangement and pane keys.
#define ID_WINDOW_ARRANGE 0xE131
#define ID_WINDOW_CASCADE 0xE132
#define ID_WINDOW_TILE_HORZ 0xE133
#define ID_WINDOW_TILE_VERT 0xE134
#define ID_NEXT_PANE 0xE150
#define ID_PREV_PANE 0xE151

// View commands. The toolbar and status bar toggles share their numbers with the
// windows they toggle.
#define ID_VIEW_TOOLBAR 0xE800
#define ID_VIEW_STATUS_BAR 0xE801
#define ID_VIEW_REFRESH 0xE803

// Child window identifiers of the frame.
#define IDW_TOOLBAR 0xE800
#define IDW_REBAR 0xE800
#define IDW_STATUS_BAR 0xE801
#define IDW_MDI_CLIENT 0xE900
#define IDW_FIRST_MDI_CHILD 0xFF00
#define IDW_BAND_FIRST 0xEB00 // + the number of bands already present

// The first string of the system-menu prompts (Size).
#define IDS_SC_SIZE 0xEF00

// The resource type of a toolbar: version, button size, count, then the ids.
#ifndef RT_TOOLBAR_ID
#define RT_TOOLBAR_ID 241
#endif
