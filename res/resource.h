// Resource and command identifiers, shared by the program's code and its resource script.
#pragma once

// Dialog templates
#define IDD_ABOUT            100
#define IDD_VIEWER           102
#define IDD_COMMENT          133
#define IDD_FILE_LIST        134

// Menus
#define IDR_CONTEXT_MENU     130
#define IDR_MENU_BAR         132
#define IDR_FILE_LIST_MENU   135

// Icon and cursors
#define IDI_APP_ICON         128
#define IDCUR_NEXT           106
#define IDCUR_GRAB           107

// The application's name: the caption of every message box
#define IDS_APP_NAME         57344

// Commands
#define ID_APP_EXIT_ITEM     32771
#define ID_MENU_CANCEL       32772
#define ID_SHOW_ABOUT        32773
#define ID_RESTORE_THIS      32774
#define ID_FIRST             32776
#define ID_NEXT              32777
#define ID_RESTORE_ALL       32780
#define ID_SHOW_COMMENT      32781
#define ID_WALLPAPER_CENTRE  32782
#define ID_WALLPAPER_WHOLE   32783
#define ID_FIRST_PAGE        32787
#define ID_LAST_PAGE         32788
#define ID_STOP_AUTO_ADVANCE 32789
#define ID_LIST_CLOSE        32790
#define ID_ANY_PAGE          32791
#define ID_LIST_JUMP         32792
