#pragma once
// Control and resource identifiers, shared by the resource script and the code.
// Plain defines: the resource compiler understands nothing else.

#define IDC_OUTPUT_PANE 224
#define IDC_EDITOR 1001

#define IDC_COMMAND_BAR 300
#define IDC_OPEN 301
#define IDC_SAVE 302
#define IDC_SAVE_AS 303
#define IDC_COMPILE 304
#define IDC_RUN 305
#define IDC_OPTIONS 306
#define IDC_OUTDENT 307
#define IDC_INDENT 308
#define IDC_JUMP_BAR_TOGGLE 309
#define IDC_COUNT_DOWN 310
#define IDC_COUNT_UP 311
#define IDC_COUNT_FIELD 312
#define IDC_SEARCH 313

#define IDC_JUMP_BAR 350
#define IDC_FIRST_JUMP 351
#define IDC_LAST_JUMP 369

#define IDD_SETTINGS 501
#define IDC_SETTINGS_BACKGROUND_COLOR 504
#define IDC_SETTINGS_TEXT_COLOR 505
#define IDC_SETTINGS_FONT 506
#define IDC_SETTINGS_JUMP_LIST 508
#define IDC_SETTINGS_LABEL 509
#define IDC_SETTINGS_DIRECTIVE 510
#define IDC_SETTINGS_DIRECTIVE_LABEL 511
#define IDC_SETTINGS_OPEN_PROJECT 512
#define IDC_SETTINGS_SAVE_PROJECT 513
#define IDC_SETTINGS_SAVE_PROJECT_AS 514
#define IDC_SETTINGS_SET_LABEL 515

#define IDD_SEARCH_REPLACE 611
#define IDC_SEARCH_LABEL 601
#define IDC_SEARCH_TEXT 602
#define IDC_SEARCH_FIND 604
#define IDC_SEARCH_FROM_LABEL 605
#define IDC_SEARCH_FROM 606
#define IDC_SEARCH_TO_LABEL 607
#define IDC_SEARCH_TO 608
#define IDC_SEARCH_REPLACE_ALL 609
#define IDC_SEARCH_OK 610

// Texts of the message boxes (the string table). Their captions and icons are in
// win32/messages.cpp.
#define IDS_OUT_OF_MEMORY 2001
#define IDS_COMMON_DIALOGS_MISSING 2002
#define IDS_DIALOG_FAILED 2003
#define IDS_PIPE_NOT_CREATED 2010
#define IDS_PIPE_NOT_SET 2011
#define IDS_PROCESS_NOT_STARTED 2012
#define IDS_NO_DEVICE_CONTEXT 2020
#define IDS_NO_SELECTION 2021
#define IDS_INDENT_OUT_OF_MEMORY 2022
#define IDS_INDENTED_TEXT_OUT_OF_MEMORY 2023
#define IDS_FILE_NOT_OPENED 2030
#define IDS_FILE_TOO_LARGE 2031
#define IDS_FILE_OUT_OF_MEMORY 2032
#define IDS_FILE_NOT_READ 2033
#define IDS_FILE_NOT_CONVERTED 2034
#define IDS_FILE_NOT_SAVED 2035
#define IDS_NO_TEXT_TO_JUMP 2040
#define IDS_PROJECT_NOT_SAVED 2050
#define IDS_NO_PROJECT_CHOSEN 2051
#define IDS_PROJECT_NOT_OPENED 2052
#define IDS_PROJECT_NOT_READ 2053
#define IDS_START_FOLDER_GONE 2013

// Asked before changed text would be lost.
#define IDS_UNSAVED_CHANGES 2200
// Offered at start: a copy of unsaved text left by a session that did not end cleanly.
#define IDS_RECOVERY_OFFER 2210
// Lines of the output pane.
#define IDS_HISTORY_OUT_OF_MEMORY 2220
#define IDS_RECOVERY_NO_NAME 2221
#define IDS_RECOVERY_FILE 2222
#define IDS_RECOVERY_TIME 2223

// The command bar's label of the caret's line and column.
#define IDC_CARET_LABEL 2250

// A message that shows another message's text in a box of its own kind.
#define IDM_JUMP_OUT_OF_MEMORY 2100

#define IDI_SKOCZEK 1
