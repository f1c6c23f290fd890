// Resource ids. String ids (IDS_) come from strings.txt through the generated string_ids.h.
#pragma once
#include "res/string_ids.h"

// Dialog templates
#define IDD_ABOUT 100
#define IDD_MAIN 102

// Icons
#define IDI_PROGRAM 128
#define IDI_WORKING 132
#define IDI_RESTED 133
#define IDI_BREAK_DUE 134
#define IDI_RESTING 136
#define IDI_DUE_SUSPENDED 147
#define IDI_BROWSE 154
#define IDI_PLANNED 160
#define IDI_PLAY 164

// Bitmaps (wizard watermark and header)
#define IDB_WATERMARK 138
#define IDB_HEADER 139

// PNG images (resource type "PNG")
#define IDB_BAR_RISING 141
#define IDB_BAR_FALLING 142
#define IDB_BAR_EMPTY 143
#define IDB_BANNER 148
#define IDB_HEADER_TILE 150
#define IDB_BANNER_EDGE 151

// Controls of the main window
#define IDC_RATING_BAR 1013
#define IDC_PLANNED_TEXT 1015
#define IDC_STATUS_TEXT 1018
#define IDC_RATING_TITLE 1030
#define IDC_STATUS_ICON 1045
