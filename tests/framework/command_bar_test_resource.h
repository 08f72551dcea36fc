// Identifiers of the command bar and hyperlink tests' resources.
#pragma once

// Toolbar tables (with the strip bitmap of IDR_BAR_IMAGES); the damaged ones
// each break one rule of the table.
#define IDR_BAR_IMAGES 300
#define IDR_BAR_BAD_VERSION 301
#define IDR_BAR_COUNT_PAST_END 302
#define IDR_BAR_ZERO_WIDTH 303
#define IDR_BAR_NO_BITMAP 304
#define IDR_BAR_SHORT_HEADER 305

// The frame's menu (three popups) and a document window's menu (five).
#define IDR_BAR_FRAME_MENU 310
#define IDR_BAR_CHILD_MENU 311

#define ID_BAR_OPEN 0xE101
#define ID_BAR_EXIT 0xE141
#define ID_BAR_COPY 0xE122
#define ID_BAR_FIND 0xE124
#define ID_BAR_TOOLBAR 0xE800
#define ID_BAR_ABOUT 0xE140
#define ID_BAR_CASCADE 0xE132
