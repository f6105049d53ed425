// Resource and command ids of the program (menus, accelerators, toolbar,
// dialogs, string table). The framework's standard ids are in fwids.h.
#pragma once

#define IDR_MAINFRAME 128
#define IDR_SCRIPTTYPE 129
#define IDD_ABOUTBOX 100
#define IDD_PARAMETERS 130
#define IDC_HOST_PARAMETER 1000
#define IDC_SCRIPT_PARAMETER 1001
#define IDD_OPTIONS 131
#define IDD_COLORFONT 134
#define IDD_ADD_MACRO 139
#define IDD_ORGANIZE_MACRO 141
#define IDD_PROMPT 142
#define IDD_MACRO_RUNNING 143
#define IDD_GOTO_LINE 132
#define IDD_FIND_IN_FILES 144
#define IDC_FIF_FIND 1110
#define IDC_FIF_TYPES 1111
#define IDC_FIF_FOLDER 1112
#define IDC_FIF_BROWSE 1113
#define IDC_FIF_SUBFOLDERS 1114
#define IDC_FIF_MATCH_CASE 1115
#define IDC_FIF_REGEX 1116
#define IDC_GOTO_LINE 1000
#define IDR_CONTEXT_MENU 138
#define IDC_BUILD 1002

#define IDS_OPEN_FILTER 130
#define IDS_SAVE_FILTER 131

#define ID_SCRIPT_RUN 32771
#define ID_SCRIPT_WSCRIPT 32775
#define ID_SCRIPT_CSCRIPT 32776
#define ID_HELP_README 32777
#define ID_WINDOW_CLOSE_ALL 32778
#define ID_FILE_SAVE_ALL 32779
#define ID_VIEW_OPTIONS 32780
#define ID_VIEW_FONT 32781
#define ID_EDIT_GOTO_LINE 32782
#define ID_HELP_SCRIPT_DOCS 32784
#define ID_MACRO_ORGANIZE 32785
#define ID_SCRIPT_ENCODE 32786
#define ID_HELP_ONLINE 32787
#define ID_HELP_WSH_VERSION 32788
#define ID_EDIT_FIND_PREV 32789
#define ID_ENCODE_SJIS 32790
#define ID_ENCODE_UTF8 32791
#define ID_ENCODE_EUC 32792
#define ID_ENCODE_JIS 32793
#define ID_MACRO_JSCRIPT 32795
#define ID_MACRO_ADD 32796
#define ID_MACRO_VBSCRIPT 32797
#define ID_EDIT_CTRL_SHIFT_DELETE 32798
#define ID_EDIT_DELETE_TO_EOL 32799
#define ID_FILE_PRINT_COLOR 32800
#define ID_EDIT_FIND_IN_FILES 32801
#define ID_NEXT_RESULT 32802
#define ID_PREV_RESULT 32803
#define ID_SCRIPT_CAPTURE 32810
#define ID_SCRIPT_STOP 32811
#define ID_SCRIPT_CHECK 32804
#define ID_SCRIPT_CHECK_TYPING 32805
#define ID_MACRO_FIRST 200

#define ID_INDICATOR_LINE 59143
#define IDP_CANNOT_OPEN 61449

// Strings: running or encoding a script saved as UTF-8, a macro whose window is gone.
#define IDS_RUN_UTF8_SCRIPT 2201
#define IDS_ENCODE_UTF8_SCRIPT 2202
#define IDS_EDITOR_VIEW_CLOSED 2203
#define IDS_MACRO_STOPPED 2204
#define IDS_MACRO_HOST_CANNOT_START 2205
#define IDS_MACRO_HOST_LOST 2206
// Strings: the encoded copy chosen to go over the file of an open script.
#define IDS_ENCODE_OVER_SOURCE 2220
// A captured run asked for while one runs.
#define IDS_STOP_RUNNING_SCRIPT 2230
// A macro's edit that its window refused.
#define IDS_MACRO_EDIT_REFUSED 2260

// The Find and Replace dialogs' own templates (the system's controls and ids,
// with the regular-expression and in-selection check boxes), and the messages
// of a regular-expression search.
#define IDD_FIND_TEMPLATE 150
#define IDD_REPLACE_TEMPLATE 151
#define IDC_FIND_REGEX 1100
#define IDC_FIND_IN_SELECTION 1101
#define IDS_REGEX_INVALID 2300
#define IDS_REGEX_TOO_COMPLEX 2301

// Strings: the syntax check's words in the status bar.
#define IDS_CHECK_CLEAN 2270
#define IDS_CHECK_ERROR 2271
#define IDS_CHECK_NUMBER_ONLY 2272
#define IDS_CHECK_NO_ENGINE 2273
#define IDS_CHECK_LOST 2274
#define IDS_CHECK_CANNOT_START 2275
#define IDS_CHECK_RUNNING 2276
