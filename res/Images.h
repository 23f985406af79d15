// Image resources: the program icon, the page's button images, background and welcome
// picture, and the range slider's bitmaps. The pictures are drawn by images/make_images.py.
#pragma once

// Icons, 32-bit with alpha (IDR_MAINFRAME, 128, is the program's icon).
#define IDI_REMOVE_TASK            135
#define IDI_REMOVE_TASK_HOVER      136
#define IDI_ADD_TASK               137
#define IDI_ADD_TASK_HOVER         138
#define IDI_REMOVE_ALL             139
#define IDI_REMOVE_ALL_HOVER       140
#define IDI_STOP_CONVERT_HOVER     145
#define IDI_STOP_CONVERT           146
#define IDI_START_CONVERT          147
#define IDI_START_CONVERT_HOVER    148

// Bitmaps, 24-bit; pure green marks where the page shows through a button bitmap.
#define IDB_PAGE_BACKGROUND        185
#define IDB_WELCOME                191
#define IDB_PREVIEW_STOP_HOVER     192
#define IDB_HELP                   199
#define IDB_PREVIEW_PLAY           202
#define IDB_PREVIEW_PLAY_HOVER     203
#define IDB_PREVIEW_STOP           210
#define IDB_SLIDER_TRACK           212
#define IDB_SLIDER_THUMB_LEFT      213
#define IDB_SLIDER_THUMB_RIGHT     214
#define IDB_SLIDER_BAR             215

// The images above that the page draws at a size of their own (all but the program icon and
// the page background, which is stretched over the page anyway) come in three more sets, made
// at 125, 150 and 200 % by images/make_images.py (NAME@125.ext ...): each under its 100 % id
// plus the set's offset.
#define IMAGE_SET_125              1000
#define IMAGE_SET_150              2000
#define IMAGE_SET_200              3000
