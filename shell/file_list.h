// The main window's file list (Windows): its set-up and rows, the notifications that keep the
// buttons and the file count label up to date, sorting by column, the row commands and Convert.
// Rows are added by add_files.h.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include "add_files_rules.h"

// Report view with grid lines, check boxes, columns the user may reorder by dragging their
// headers, and whole rows selected; the columns name, update time and location.
void SetUpFileList(HWND list);

// WM_NOTIFY from the file list: changes, deletions, header clicks, clicks and double clicks,
// its drawing (the hint of an empty list) and the tips of its rows. Gives what the
// notification answers.
LRESULT OnFileListNotify(HWND window, NMHDR* notification);

// Sets each column's width for a display of `dpi` dots per inch: scaled, and never narrower
// than its header and fixed texts need.
void FitColumns(int dpi);

// The menu of the row at the screen point x, y (both -1: of the focused row, from the
// keyboard): open what the last job wrote for it, open it, show it in its folder, remove it.
void ShowRowMenu(HWND window, int x, int y);

// Carries out a command of a row's menu (IDM_OPEN_OUTPUT, IDM_OPEN_SOURCE, IDM_SHOW_IN_FOLDER,
// IDM_REMOVE) for row `row`.
void RunRowCommand(HWND window, int row, int command);

// WM_DRAWITEM for the file count label: its text in yellow on black.
void DrawFileCountLabel(const DRAWITEMSTRUCT* item);

// Shows `count` in the file count label, "ファイル参照数:<count>".
void ShowFileCount(int count);

int CountRows();
int CountSelectedRows();
// Rows whose box is not clear.
int CountConvertTargets();

// A batch of rows added at once (a drop, the open dialog's choice). While it lasts the list is
// not redrawn and its change notifications leave the counts alone: the batch keeps them, from
// the rows read once at its start, and the label and the buttons show them once at its end.
void BeginAddingFiles(AddBatch* batch);
void EndAddingFiles(const AddBatch* batch);

// Inserts a row at `index` (the end of the list, normally): its name, update time and folder,
// the first file's icon and a ticked box. False when the list did not take it.
bool InsertFileRow(int index, const char16_t* name, const char16_t* updateTime,
                   const char16_t* location);

// The buttons' commands. Each ends with the keyboard focus on the list.
void SelectAllRows();
void RemoveSelectedRows();
void ToggleConvertTargets();
// Converts the ticked rows, in the order shown, in the progress dialog. The list stays as it is.
void ConvertTargets(HWND window);
