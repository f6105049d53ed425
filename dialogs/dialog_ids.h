// Control ids of the settings dialogs (resources/ruvelto.rc).
#pragma once

// Options dialog 131.
#define IDC_OPT_STRESS 1002
#define IDC_OPT_SPIN 1004
#define IDC_OPT_AUTOINDENT 1005
#define IDC_OPT_AUTOKANJI 1006
#define IDC_OPT_TABSTOPS 1007
#define IDC_OPT_EXTENSION 1008
#define IDC_OPT_HELPPATH 1009
#define IDC_OPT_BROWSE 1010
#define IDC_OPT_OPENMODE 1011

// Editor font and colour dialog, template 134: the colour pickers.
#define IDC_CF_BACKGROUND 1017
#define IDC_CF_KEYWORD 1018
#define IDC_CF_COMMENT 1019
#define IDC_CF_STRING 1020
#define IDC_CF_TEXT 1021

// Macro dialogs: the prompt 142, Add macro 139, Organize macros 141.
#define IDC_MACRO_NAME 1000
#define IDC_PROMPT_ANSWER 1000
#define IDC_PROMPT_MESSAGE 1003
#define IDC_MACRO_LIST 1010
#define IDC_MACRO_DELETE 1011
#define IDC_MACRO_RENAME 1012
#define IDC_MACRO_EDIT 1023
// The window shown while a macro runs, 143.
#define IDC_MACRO_RUNNING_NAME 1024
