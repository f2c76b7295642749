// The main window's file list (Windows): its set-up and rows, the notifications that keep the
// buttons and the file count label up to date, sorting by column and the buttons' row
// commands. Rows are added by add_files.h; a job's outcomes are shown by
// run_job.h, a row's menu by row_menu.h.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <cstddef>
#include <cstdint>

#include "add_files_rules.h"

// Report view with grid lines, check boxes, columns the user may reorder by dragging their
// headers, and whole rows selected; the columns name, result, update time and location.
void SetUpFileList(HWND list);

// WM_NOTIFY from the file list: changes, deletions, header clicks, clicks and its drawing (the
// hint of an empty list). Gives what the notification answers.
LRESULT OnFileListNotify(NMHDR* notification);

// Sets each column's width for a display of `dpi` dots per inch: scaled, and never narrower
// than its header and fixed texts need.
void FitColumns(int dpi);

int CountRows();
int CountSelectedRows();
// Rows whose box is not clear.
int CountConvertTargets();

// --- A row ---------------------------------------------------------------------------------------

// The text of `column` of `row` (a COLUMN_ value), cut to `capacity`.
void ReadRowText(int row, int column, char16_t* out, size_t capacity);
void SetRowText(int row, int column, const char16_t* text);
// The row's check box, as its state image (STATE_IMAGE_TARGET, STATE_IMAGE_EXCLUDED).
int RowStateImage(int row);
// The full path of the row's file: its location, "\" and its name (JOB_PATH_CHARS).
void ReadRowPath(int row, char16_t* out);
// The row's outcome in the last job, kept as its item data: a JobResult, or ROW_WITHOUT_RESULT.
int32_t RowOutcome(int row);
// Sets the row's outcome and the small icon that shows it.
void SetRowOutcome(int row, int32_t outcome, int image);
// Makes `row` the only selected row, unless it is selected already.
void SelectRowAlone(int row);

// A batch of rows added at once (a drop, the open dialog's choice). While it lasts the list is
// not redrawn and its change notifications leave the counts alone: the batch keeps them, from
// the rows read once at its start, and the label and the buttons show them once at its end.
void BeginAddingFiles(AddBatch* batch);
void EndAddingFiles(const AddBatch* batch);

// Rows changed as one batch (a job's outcomes shown): the list is not redrawn meanwhile, and
// its change notifications leave the counts and the buttons alone.
void BeginChangingRows();
void EndChangingRows();

// Inserts a row at `index` (the end of the list, normally): its name, update time and folder,
// the first file's icon and a ticked box. False when the list did not take it.
bool InsertFileRow(int index, const char16_t* name, const char16_t* updateTime,
                   const char16_t* location);

// The buttons' commands, also those of the menu and its keys. Each ends with the keyboard
// focus on the list.
void SelectAllRows();
void RemoveSelectedRows();
void ToggleConvertTargets();
