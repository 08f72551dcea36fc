// The program's command identifiers, and the element list's own resources: one
// set of numbers for the resource script (velk.rc includes this file), app/,
// view/ and the tests. A command's number is also the number of its status-bar
// prompt string.
//
// A new command takes a number of its own from the block at 0x8000, after the
// ones below, and joins kCommandIds: the compiler then rejects a number that is
// used twice.
#pragma once

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

// Edit commands; only Copy Rows, Select All, Find and Copy Item have handlers.
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
// windows they toggle (IDW_TOOLBAR, IDW_STATUS_BAR in app/resource.h).
#define ID_VIEW_TOOLBAR 0xE800
#define ID_VIEW_STATUS_BAR 0xE801
#define ID_VIEW_REFRESH 0xE803
// The Interpret reading.
#define ID_VIEW_INTERPRET 0x8030

// Added after the first release's: Compare With (File menu), the inspector pane
// and the filter box (View menu).
#define ID_FILE_COMPARE 0x8020
#define ID_VIEW_INSPECTOR 0x8021
#define ID_VIEW_FILTER 0x8022

// Added with the folder index: File > Open Folder, and View > Directory on a
// DICOMDIR's document.
#define ID_FILE_OPEN_FOLDER 0x8040
#define ID_VIEW_DIRECTORY 0x8041

// Added with the inspector's image: View > Restore Window/Level, the file's own
// window for the frame shown.
#define ID_VIEW_RESTORE_WINDOW 0x8050
// Added with the check: the rows with findings one after another (F8,
// Shift+F8), and the list of them all (View menu).
#define ID_VIEW_NEXT_PROBLEM 0x8060
#define ID_VIEW_PREVIOUS_PROBLEM 0x8061
#define ID_VIEW_PROBLEMS 0x8062

// The element list: its context menu and the three row icons.
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

#ifndef RC_INVOKED

namespace velk {

// Every command above, for the checks below and for tests that walk them all. A
// range of commands is listed by its first and last number.
inline constexpr unsigned kCommandIds[] = {
    ID_FILE_MRU_FIRST,     ID_FILE_MRU_LAST,       ID_FILE_NEW,          ID_FILE_OPEN,
    ID_FILE_SAVE,          ID_FILE_SAVE_AS,        ID_FILE_PRINT_SETUP,  ID_FILE_PRINT,
    ID_FILE_PRINT_PREVIEW, ID_APP_ABOUT,           ID_APP_EXIT,          ID_EDIT_COPY_ROWS,
    ID_EDIT_CUT,           ID_EDIT_FIND,           ID_EDIT_PASTE,        ID_EDIT_SELECT_ALL,
    ID_EDIT_UNDO,          ID_EDIT_COPY_ITEM,      ID_WINDOW_ARRANGE,    ID_WINDOW_CASCADE,
    ID_WINDOW_TILE_HORZ,   ID_WINDOW_TILE_VERT,    ID_NEXT_PANE,         ID_PREV_PANE,
    ID_VIEW_TOOLBAR,       ID_VIEW_STATUS_BAR,     ID_VIEW_REFRESH,      ID_FILE_COMPARE,
    ID_VIEW_INSPECTOR,     ID_VIEW_FILTER,         ID_VIEW_INTERPRET,    ID_FILE_OPEN_FOLDER,
    ID_VIEW_DIRECTORY,     ID_VIEW_RESTORE_WINDOW, ID_VIEW_NEXT_PROBLEM, ID_VIEW_PREVIOUS_PROBLEM,
    ID_VIEW_PROBLEMS,
};

constexpr bool CommandIdsAreDistinct() {
    for (unsigned a : kCommandIds) {
        int seen = 0;
        for (unsigned b : kCommandIds) seen += a == b;
        if (seen != 1) return false;
    }
    return true;
}
static_assert(CommandIdsAreDistinct(), "two commands share a number");

// No other command lies inside the recent files' range.
constexpr bool RecentFileRangeIsFree() {
    for (unsigned id : kCommandIds) {
        if (id > ID_FILE_MRU_FIRST && id < ID_FILE_MRU_LAST) return false;
    }
    return true;
}
static_assert(ID_FILE_MRU_FIRST < ID_FILE_MRU_LAST && RecentFileRangeIsFree(),
              "a command inside the recent files' range");

// Commands stay below the system commands (0xF000 and up), whose prompts the
// frame derives from their numbers, and above the dialog controls' range.
constexpr bool CommandIdsAreInRange() {
    for (unsigned id : kCommandIds) {
        if (id < 0x8000 || id >= 0xF000) return false;
    }
    return true;
}
static_assert(CommandIdsAreInRange(), "a command number outside 0x8000..0xEFFF");

}  // namespace velk

#endif  // RC_INVOKED
