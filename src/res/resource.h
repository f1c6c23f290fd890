// Resource ids. String ids (IDS_) come from strings.txt through the generated string_ids.h.
#pragma once
#include "res/string_ids.h"

// Dialog templates
#define IDD_ABOUT 100
#define IDD_MAIN 102
#define IDD_NOTIFICATION_ALERT 152

// Menus
#define IDR_MENU_TRAY_MAIN 129
#define IDR_MENU_TRAY_BREAK 130
#define IDR_MENU_SUSPEND 158

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

// Menus
#define IDR_MENU_HELP 157

// Controls of the main window
#define IDC_BREAKS_LINK 1000
#define IDC_CUSTOMIZE 1002
#define IDC_DESCRIPTION 1012
#define IDC_RATING_BAR 1013
#define IDC_BANNER 1014
#define IDC_PLANNED_TEXT 1015
#define IDC_UPGRADE 1016
#define IDC_NEWS 1017
#define IDC_STATUS_TEXT 1018
#define IDC_OPTIONS 1024
#define IDC_RATING_TITLE 1030
#define IDC_STATUS_ICON 1045
#define IDC_BREAKS_GROUP 1048
#define IDC_TIPS_TABS 1066
#define IDC_TIP_TEXT 1068
#define IDC_HELP_MENU 1071

// The system-menu item of the main window that opens the About window
#define IDM_ABOUTBOX 16

// Commands of the help menu (the tray menus' and the pop-up's are below)
#define ID_HELP_MENU_TOPICS 32788
#define ID_HELP_ABOUT 32789
#define ID_HELP_USERS 32793
#define ID_HELP_CONTEXT 32795

// Controls of the alert pop-up (IDC_RATING_BAR and IDC_STATUS_ICON as in the main window)
#define IDC_ALERT_MESSAGE 1040
#define IDC_ALERT_RESTED 1044
#define IDC_ALERT_NOT_RATED 1046
#define IDC_ALERT_COUNTDOWN_ICON 1047
#define IDC_ALERT_COUNTDOWN_TEXT 1089
#define IDC_ALERT_SUSPEND 1090
#define IDC_ALERT_CLOSE 1095
#define IDC_ALERT_CAPTION 1096
#define IDC_ALERT_OPEN 1097

// Commands shared by the tray menus, the help menu and the alert pop-up
#define ID_OPEN_MAIN 32771
#define ID_EXIT 32772
#define ID_ABOUT 32773
#define ID_I_AM_RESTED 32782
#define ID_SUSPEND_UNTIL_REST 32783
#define ID_SUSPEND_15 32785
#define ID_SUSPEND_30 32786
#define ID_HELP_TOPICS 32787
#define ID_SUSPEND_UNTIL_PLANNED 32790

// The Options sheet's pages and their controls
#define IDD_OPT_COMPATIBILITY 106
#define IDD_OPT_GENERAL 146
#define IDD_OPT_COMMERCIAL 153
#define IDC_OPT_NEWS_POPUP 1031
#define IDC_OPT_UPGRADE_POPUP 1032
#define IDC_OPT_ECO_MODE 1033
#define IDC_OPT_STYLE_LIST 1039
#define IDC_OPT_GROUP_NEWS 1051
#define IDC_OPT_GROUP_UPGRADE 1052
#define IDC_OPT_GROUP_ECO 1053
#define IDC_OPT_GROUP_STYLE 1054
#define IDC_OPT_GROUP_SOUND 1055
#define IDC_OPT_GROUP_IDENTITY 1055
#define IDC_OPT_BRAND_TITLE 1056
#define IDC_OPT_GROUP_HEALTH 1057
#define IDC_OPT_HEALTH_TITLE 1058
#define IDC_OPT_BRAND_IMAGE 1059
#define IDC_OPT_HEALTH_LINK 1060
#define IDC_OPT_HEALTH_CONTENTS 1061
#define IDC_OPT_HEALTH_GO 1062
#define IDC_OPT_SOUND_DEFAULT 1097
#define IDC_OPT_SOUND_FILE 1098
#define IDC_OPT_SOUND_PATH 1099
#define IDC_OPT_SOUND_PLAY 1100
#define IDC_OPT_SOUND_BROWSE 1101
#define IDC_OPT_BRAND_IMAGE_BROWSE 1063

// The welcome wizard, the breaks settings page and the planned-break editor
#define IDD_WIZARD_BREAKS 107
#define IDD_WELCOME_START 109
#define IDD_WELCOME_FINISH 110
#define IDD_BREAK_TIMED 159
#define IDC_WORK_SLIDER 1006
#define IDC_WORK_MINUTES 1007
#define IDC_WORK_ARROWS 1008
#define IDC_REST_SLIDER 1009
#define IDC_REST_MINUTES 1010
#define IDC_REST_ARROWS 1011
#define IDC_WELCOME_TITLE 1024
#define IDC_BREAKS_ENABLE 1025
#define IDC_BREAKS_PERIODS_HINT 1029
#define IDC_PLANNED_LIST 1074
#define IDC_PLANNED_ADD 1075
#define IDC_PLANNED_DELETE 1076
#define IDC_PLANNED_EDIT 1077
#define IDC_PLANNED_SHOW 1085
#define IDC_PLANNED_HINT 1086
#define IDC_PLANNED_LABEL 1087
#define IDC_FINISH_ICON_WORKING 1091
#define IDC_FINISH_ICON_DUE 1092
#define IDC_FINISH_ICON_SUSPENDED 1093
#define IDC_FINISH_ICON_RESTING 1094
#define IDC_TIMED_TITLE 1076
#define IDC_TIMED_MONDAY 1077  // to 1083, Monday to Sunday
#define IDC_TIMED_TIME 1084

// The About window (IDD_ABOUT) and the news window
#define IDD_NEWS 145
#define IDC_ABOUT_PRODUCT 1003
#define IDC_ABOUT_TEXT 1015
#define IDC_NEWS_BROWSER 1033
#define IDC_ABOUT_ICON 1035
