// The ids of the program's resources other than its commands.
#pragma once

#define IDM_MAIN_MENU 101
#define IDD_KEY_PICKER 105
#define IDB_BANNER 106
#define IDI_PROGRAM 116
