// Resource ids of Kinetora.scr (shared by the .rc file and the code).
#pragma once

// The screen-saver settings list shows string 1 as the saver's name.
#define IDS_DESCRIPTION 1
#define IDS_APP_NAME 57344
#define IDI_KINETORA 128

// Dialog templates of the configuration sheet.
#define IDD_GENERAL 133
#define IDD_IMAGES 144
#define IDD_PREVIEW 149
#define IDD_INFO 150

// Controls (one numbering for every page).
#define IDC_HELP_BUTTON 1054
#define IDC_SPEED 1041
#define IDC_BLANK 1070
#define IDC_MINUTES_SPIN 1071
#define IDC_MINUTES 1072
#define IDC_MINUTES_LABEL 1073
#define IDC_FRAME_RATE 1082
#define IDC_POLYGONS 1083
#define IDC_FOLDERS 1056
#define IDC_ADD 1057
#define IDC_REMOVE 1058
#define IDC_REMOVE_ALL 1059
#define IDC_PROB 1060
#define IDC_SEARCH 1061
#define IDC_IMAGES 1062
#define IDC_RESET 1063
#define IDC_RANDOM 1064
#define IDC_ALPHABETICAL 1065
#define IDC_START_AT_FIRST 1066
#define IDC_STATUS 1084
#define IDC_PREVIEW_FILES 1083
#define IDC_INFO_TITLE 1090
#define IDC_INFO_TEXT 1091
#define IDC_SPEED_LABEL 1092
#define IDC_FOLDERS_LABEL 1093
#define IDC_PROB_LABEL 1094
#define IDC_MORE_LABEL 1095
#define IDC_ORDER_GROUP 1096
