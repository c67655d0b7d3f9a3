// Command ids of the main window's buttons and menu items, and the ids of
// the program's resources.
#pragma once

#define IDM_MAIN_MENU 101
#define IDD_KEY_PICKER 105
#define IDB_BANNER 106
#define IDI_PROGRAM 116

#define ID_CHANGE_FIRST 105  // "Change" of slots 1 to 8: 105..112
#define ID_CLEAR_FIRST 115   // "x" of slots 1 to 8: 115..122
#define ID_NORMAL_LAYER 131
#define ID_SHIFT_LAYER 132

#define IDM_FILE_EXIT 40002
#define IDM_FILE_NEW 40003
#define IDM_FILE_SAVE 40005
#define IDM_FILE_SAVE_AS 40006
#define IDM_FILE_OPEN 40007
#define IDM_DATA_WRITE 40008
#define IDM_DATA_READ 40009
#define IDM_USB_RESET 40010
