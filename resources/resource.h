// Identifiers of the window program's resources, shared by tamsel.rc and the code. Menu items
// and accelerators share one command id space; control ids are those of the dialog templates.
#pragma once

// --- Dialog templates --------------------------------------------------------------------------
#define IDD_ABOUT 104
#define IDD_PROGRESS 153
#define IDD_MAIN 160

// --- Menu and accelerator table of the main window ---------------------------------------------
#define IDR_MAIN_MENU 109
#define IDR_MAIN_ACCELERATORS 109
// The menu of a row of the file list, opened by its right click.
#define IDR_ROW_MENU 110

// --- Icons -------------------------------------------------------------------------------------
#define IDI_APPLICATION_LARGE 108
#define IDI_APPLICATION_SMALL 143
#define IDI_PICTURE 158

// --- Commands (menu items and accelerators) ----------------------------------------------------
#define IDM_ABOUT 104
#define IDM_EXIT 105
#define IDM_SELECT_ALL 32789
#define IDM_REMOVE 32791
#define IDM_CONVERT 32803
#define IDM_TOGGLE_TARGET 32809
#define IDM_DELETE_INTERNAL_DATA 32865
#define IDM_CHOOSE_OUTPUT_FOLDER 32872
#define IDM_RESET_POSITION 32877
#define IDM_OPEN_FILES 32886
#define IDM_OPEN_OUTPUT_FOLDER 32890
#define IDM_OPEN_GUIDE 32901
// The CMX 3600 export: on or off, and its frame rate, one of four in the order of the menu
// (30 non-drop, 30 drop frame, 25, 24; consecutive, as the menu marks one of them).
#define IDM_EXPORT_CMX 32894
#define IDM_CMX_RATE_30 32895
#define IDM_CMX_RATE_30_DROP 32896
#define IDM_CMX_RATE_25 32897
#define IDM_CMX_RATE_24 32898
// The two tables written beside the converted file, each on or off: the event table and the
// tape pull list (both at the export's frame rate).
#define IDM_EXPORT_EVENTS 32902
#define IDM_EXPORT_PULL 32903
// Commands of a row's menu: what the last job wrote for it (the converted file, its CMX
// export, the converted file shown in its folder), and its source.
#define IDM_OPEN_OUTPUT 32891
#define IDM_OPEN_EXPORT 32899
#define IDM_SHOW_OUTPUT_IN_FOLDER 32900
#define IDM_OPEN_SOURCE 32892
#define IDM_SHOW_IN_FOLDER 32893

// --- Controls ----------------------------------------------------------------------------------
// About box
#define IDC_ABOUT_CONTACT 1083
#define IDC_ABOUT_AUTHOR 1137
#define IDC_ABOUT_PICTURE 158
// Progress dialog; its file label has no id of its own (-1), it is the dialog's first control.
#define IDC_PROGRESS_CANCEL 1084
#define IDC_PROGRESS_BAR 1097
#define IDC_PROGRESS_STATUS 1099
// Main window
#define IDC_FILE_LIST 1110
#define IDC_SELECT_ALL 1119
#define IDC_CONVERT 1120
#define IDC_REMOVE 1121
#define IDC_CHOOSE_OUTPUT_FOLDER 1122
#define IDC_TOGGLE_TARGET 1123
#define IDC_FILE_COUNT 1125
#define IDC_PICTURE 1127
#define IDC_OUTPUT_FOLDER 1128
#define IDC_OPEN_OUTPUT_FOLDER 1140
#define IDC_DELETE_INTERNAL_DATA 1141
#define IDC_EXPORT_CMX 1142
#define IDC_CMX_RATE 1143

// --- Strings -----------------------------------------------------------------------------------
#define IDS_APP_TITLE 103
#define IDS_WINDOW_CLASS 109
// Captions of the message boxes: the program's full name, and the short one of every other box.
#define IDS_APP_NAME 200
#define IDS_MESSAGE_CAPTION 201
// Messages of the shell and the progress dialog.
#define IDS_ALREADY_RUNNING 210
#define IDS_NO_DESKTOP_FOLDER 211
// The tally's lines when files failed ("%d" their number), and for the CMX 3600 export (files,
// events, dissolves, comments, reels renamed). A message box breaks a line that is too wide for
// it wherever it must, so each line is short and ends where a reader pauses.
#define IDS_TALLY_FAILED 213
#define IDS_TALLY_CMX 214
// The tally's lines for the tables: how many of each were written, and the batch's pull list.
#define IDS_TALLY_EVENTS 215
#define IDS_TALLY_PULL 216
#define IDS_TALLY_BATCH_PULL 217
// Texts of the main window and the about box.
#define IDS_FILE_COUNT 220
#define IDS_COLUMN_NAME 221
#define IDS_COLUMN_UPDATE 222
#define IDS_COLUMN_LOCATION 223
#define IDS_COLUMN_RESULT 224
#define IDS_EMPTY_LIST_HINT 225
// The result column: each outcome's text, at consecutive ids from IDS_RESULT_CONVERTED to
// IDS_RESULT_FAILED, the text of an outcome the program does not know, which stays last.
#define IDS_RESULT_CONVERTED 270
#define IDS_RESULT_CMX_FORMAT 271
#define IDS_RESULT_UNKNOWN_FORMAT 272
#define IDS_RESULT_OPEN_FAILED 273
#define IDS_RESULT_WRITE_FAILED 274
#define IDS_RESULT_NO_MEMORY 275
#define IDS_RESULT_NOT_REACHED 276
#define IDS_RESULT_OUTPUT_IS_SOURCE 277
#define IDS_RESULT_NAME_TOO_LONG 278
#define IDS_RESULT_CMX_WRITE_FAILED 279
#define IDS_RESULT_FAILED 280
#define IDS_RESULT_TABLE_WRITE_FAILED 281
#define IDS_RESULT_NAME_TAKEN 282
// A converted row with the CMX 3600 export: its events and the items kept as comments; and the
// lines its tip adds to its path (RowTipTexts).
#define IDS_RESULT_CONVERTED_CMX 290
#define IDS_TIP_CMX_COUNTS 295
#define IDS_TIP_CMX_KEPT 296
#define IDS_TIP_CMX_REELS 297
// What a converted row's text adds for each table written: its rows, its tapes.
#define IDS_RESULT_EVENTS 298
#define IDS_RESULT_PULL 299
// The CMX 3600 export's frame rate, as the window shows it beside the export's check box (drop
// frame in the short word editors use, so that the row fits the window).
#define IDS_CMX_RATE_30 291
#define IDS_CMX_RATE_30_DROP 292
#define IDS_CMX_RATE_25 293
#define IDS_CMX_RATE_24 294
#define IDS_ABOUT_CONTACT 230
#define IDS_ABOUT_AUTHOR 231
// Adding files: the captions of its message boxes (the first is also the open dialog's title),
// its messages, and the open dialog's filter and default extension.
#define IDS_ADD_FILES_CAPTION 240
#define IDS_DROP_CAPTION 241
#define IDS_DROP_LIMIT 242
#define IDS_NOT_EDL 243
#define IDS_FILE_MISSING 246
#define IDS_TOO_MANY_SELECTED 247
#define IDS_OPEN_FILTER_NAME 248
#define IDS_OPEN_FILTER_PATTERN 249
#define IDS_OPEN_DEFAULT_EXTENSION 250
#define IDS_NO_EDL_IN_FOLDER 251
// Several files refused in one batch: the heading, one line per file ("%s" name, "%s" reason),
// the count of those not named, and the short reasons.
#define IDS_REFUSED_HEADING 252
#define IDS_REFUSED_LINE 253
#define IDS_REFUSED_MORE 254
#define IDS_REASON_NOT_EDL 255
#define IDS_REASON_DUPLICATE_NAME 256
#define IDS_REASON_PATH_TOO_LONG 257
#define IDS_REASON_FILE_MISSING 258
#define IDS_REASON_NO_EDL_IN_FOLDER 259
// Convert and the output folder.
#define IDS_TOO_MANY_TARGETS 260
#define IDS_CHOOSE_FOLDER_TITLE 261
#define IDS_OUTPUT_FOLDER_UNUSABLE 264
// Opening the output folder, an output or a source ("%s" its path).
#define IDS_CANNOT_OPEN_FOLDER 262
#define IDS_CANNOT_OPEN_FILE 263
// The user guide is not beside the program ("%s" where it was looked for).
#define IDS_GUIDE_MISSING 265
