// Control identifiers of the file list, about and comment dialogs.
#pragma once

#define IDC_COMMENT_TEXT     1006
#define IDC_LINK_TEXT        1007
#define IDC_FILE_LIST        1008
#define IDC_ABOUT_NAME       1009
