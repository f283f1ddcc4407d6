// Every resource, control and command identifier of the program, named for
// what it is. The resource scripts, the code and the tests use these names only.
#pragma once

// ---- Resources ----------------------------------------------------------
#define IDD_ABOUT 100
#define IDI_KIBOLT 128
#define IDD_MAIN 129
#define IDD_ADD_GAME 201
#define IDD_COMMENT 202
#define IDD_EXTRA_LIST 203
#define IDR_GAME_MENU 206
#define IDR_MAIN_MENU 207
#define IDD_COPY_SETTINGS 208
#define IDR_SESSION_MENU 209
#define IDD_GAME_PROPERTIES 210
#define IDD_CHART 211
#define IDD_STATS 212
#define IDD_IDLE_TIME 213

// ---- Main window --------------------------------------------------------
#define IDC_NEW_FILE 1003
#define IDC_TAB 1015
#define IDC_GAME_LIST 1016
#define IDC_GAME_COMMENT 1020
#define IDC_SESSION_TABLE 1027  // also the list of the extra list window
#define IDC_SAVE_NOW_TIME 1051
#define IDC_NOW_COMMENT 1041
#define IDC_COPY 1054
#define IDC_EXTRA 1063
#define IDC_COPY_SETTING 1088
#define IDC_PLAY_STATUS 1120  // "プレイ中 " and the play time while a game runs

// Detail panel: the current game's title and figures.
#define IDC_DETAIL_TITLE 1032
#define IDC_DETAIL_PLAY 1028           // play time of the last session
#define IDC_DETAIL_SESSION_COUNT 1029  // number of the last session
#define IDC_DETAIL_TOTAL_PLAY 1030
#define IDC_DETAIL_ACTIVE 1031  // active time of the last session
#define IDC_DETAIL_TOTAL_ACTIVE 1055
#define IDC_DETAIL_TOTAL_INPUTS 1056
#define IDC_DETAIL_INPUTS 1057  // inputs of the last session

// Display check boxes ("表示種別").
#define IDC_VIEW_START 1043
#define IDC_VIEW_END 1044
#define IDC_VIEW_TOTAL 1045
#define IDC_VIEW_PLAY 1046
#define IDC_VIEW_ACTIVE 1047
#define IDC_VIEW_TOTAL_ACTIVE 1048
#define IDC_VIEW_COMMENT 1049
#define IDC_VIEW_INPUTS 1064
#define IDC_VIEW_TOTAL_INPUTS 1065

// Copy check boxes, one per bit of the copy settings; the same IDs in the
// main window and in the copy settings dialog. The spare ones set a bit that
// nothing reads.
#define IDC_COPY_SPARE_BIT0 1036
#define IDC_COPY_HEADER_TOTAL_PLAY 1037
#define IDC_COPY_HEADER_COUNT 1038
#define IDC_COPY_SPARE_BIT3 1039
#define IDC_COPY_HEADER_TOTAL_ACTIVE 1058
#define IDC_COPY_HEADER_TOTAL_INPUTS 1061
#define IDC_COPY_SPARE_BIT6 1062
#define IDC_COPY_ONLY_COMMENTED 1066
#define IDC_COPY_START 1067
#define IDC_COPY_END 1068
#define IDC_COPY_PLAY 1069
#define IDC_COPY_TOTAL_PLAY 1070
#define IDC_COPY_ACTIVE 1071
#define IDC_COPY_TOTAL_ACTIVE 1072
#define IDC_COPY_COMMENT 1073
#define IDC_COPY_INPUTS 1074
#define IDC_COPY_TOTAL_INPUTS 1075
#define IDC_COPY_SPARE_BIT17 1076

// ---- Copy settings dialog: the boxes and the layout nothing reads -------
#define IDC_COPY_SETTINGS_CHECK3 1040
#define IDC_COPY_SETTINGS_CHECK4 1041
#define IDC_COPY_SETTINGS_CHECK12 1059
#define IDC_COPY_SETTINGS_CHECK16 1063
#define IDC_COPY_SETTINGS_LAYOUT 1085
#define IDC_COPY_SETTINGS_SIMPLE 1086
#define IDC_COPY_SETTINGS_CUSTOM 1087

// ---- Add-game and properties dialogs ------------------------------------
#define IDC_ENTRY_TITLE 1032
#define IDC_ENTRY_PATH 1033
#define IDC_ENTRY_BROWSE 1035

// ---- Comment dialog -----------------------------------------------------
#define IDC_COMMENT_TEXT 1041

// ---- About box: the product line ----------------------------------------
#define IDC_ABOUT_PRODUCT 1089

// ---- Chart window ("グラフ") ----------------------------------------------
#define IDC_CHART_DAY 1100
#define IDC_CHART_WEEK 1101
#define IDC_CHART_MONTH 1102
#define IDC_CHART_YEAR 1103
#define IDC_CHART_COPY_DATA 1104
#define IDC_CHART_COPY_IMAGE 1105
#define IDC_CHART_AREA 1106

// ---- Statistics window ("統計") ------------------------------------------
#define IDC_STATS_LIST 1110
#define IDC_STATS_COPY 1111

// ---- Idle time ("放置時間の設定") -------------------------------------------
#define IDC_IDLE_MINUTES 1130

// ---- Menu commands ------------------------------------------------------
#define IDM_MOVE_PLAYING 32772
#define IDM_MOVE_CLEARED 32773
#define IDM_MOVE_OTHERS 32774
#define IDM_NEW_GAME 32775
#define IDM_EXIT 32776
#define IDM_README 32779
#define IDM_ABOUT 32780
#define IDM_COPY_SELECTED 32781
#define IDM_COPY_ALL 32782
#define IDM_COMMENT_SESSION 32783
#define IDM_PROPERTIES 32785
#define IDM_DELETE_GAME 32786
#define IDM_START_GAME 32787
#define IDM_DELETE_SESSIONS 32788
#define IDM_CHART 32789                  // "グラフ": the current game's chart
#define IDM_STATS 32790                  // "統計": every game of the library at a glance
#define IDM_CREATE_SHORTCUT 32791        // game menus: a desktop shortcut that starts the current game
#define IDM_UNDO_SESSION_DELETION 32792  // session menu: puts back the sessions last deleted
#define IDM_AUTO_DETECT 32793            // "ゲーム": record games started outside Kibolt (a check item)
#define IDM_IDLE_TIME 32794       // "ゲーム": the minutes without input after which time in front is not active
#define IDM_UNUSED_COMMAND 57664  // reaches the window from nowhere; does nothing

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

#ifndef RC_INVOKED
#include <array>

namespace kibolt {

// Display check boxes in view-flags bit order (bit 0 first).
inline constexpr std::array<int, 9> kViewCheckBoxes = {IDC_VIEW_START,  IDC_VIEW_END,          IDC_VIEW_PLAY,
                                                       IDC_VIEW_TOTAL,  IDC_VIEW_ACTIVE,       IDC_VIEW_TOTAL_ACTIVE,
                                                       IDC_VIEW_INPUTS, IDC_VIEW_TOTAL_INPUTS, IDC_VIEW_COMMENT};
// Copy check boxes in copy-settings bit order.
inline constexpr std::array<int, 18> kCopyCheckBoxes = {IDC_COPY_SPARE_BIT0,
                                                        IDC_COPY_HEADER_TOTAL_PLAY,
                                                        IDC_COPY_HEADER_COUNT,
                                                        IDC_COPY_SPARE_BIT3,
                                                        IDC_COPY_HEADER_TOTAL_ACTIVE,
                                                        IDC_COPY_HEADER_TOTAL_INPUTS,
                                                        IDC_COPY_SPARE_BIT6,
                                                        IDC_COPY_ONLY_COMMENTED,
                                                        IDC_COPY_START,
                                                        IDC_COPY_END,
                                                        IDC_COPY_PLAY,
                                                        IDC_COPY_TOTAL_PLAY,
                                                        IDC_COPY_ACTIVE,
                                                        IDC_COPY_TOTAL_ACTIVE,
                                                        IDC_COPY_COMMENT,
                                                        IDC_COPY_INPUTS,
                                                        IDC_COPY_TOTAL_INPUTS,
                                                        IDC_COPY_SPARE_BIT17};
// The main window's copy boxes that are disabled: always unchecked there.
inline constexpr std::array<int, 3> kDisabledCopyCheckBoxes = {IDC_COPY_SPARE_BIT0, IDC_COPY_SPARE_BIT3,
                                                               IDC_COPY_SPARE_BIT6};
// The copy settings dialog's boxes beyond the eighteen copy bits.
inline constexpr std::array<int, 4> kCopySettingsExtraCheckBoxes = {
    IDC_COPY_SETTINGS_CHECK3, IDC_COPY_SETTINGS_CHECK4, IDC_COPY_SETTINGS_CHECK12, IDC_COPY_SETTINGS_CHECK16};

}  // namespace kibolt
#endif
