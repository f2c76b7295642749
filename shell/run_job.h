// Running a job of the ticked rows (Windows): Convert fills the job record from the list, runs
// the job in the progress dialog and shows in each row what became of its file. What the job
// wrote stays known until the next job, for the commands that open it.
#pragma once

#include <windows.h>

#include <commctrl.h>

// Converts the ticked rows, in the order shown, in the progress dialog; then each row the job
// took shows its outcome. The rows themselves, their ticks and their order stay as they are.
void ConvertTargets(HWND window);

// The file the last job wrote for the converted row `row`: the output folder it wrote into,
// `prefix` (OUTPUT_NAME_PREFIX, CMX_OUTPUT_NAME_PREFIX) and the row's name, JOB_PATH_CHARS.
// False when that path does not fit.
bool ReadRowOutput(int row, const char16_t* prefix, char16_t* out);

// Whether the last job wrote the CMX export for row `row` (it converted the row, the export on).
bool RowExported(int row);

// LVN_GETINFOTIPW from the list: the tip of a row, its whole path (which its name and location
// columns may cut), and for a row the last job converted with the CMX export, what the export
// wrote (the events, the dissolves, the events kept as comments and which, the reels renamed).
void OnRowTip(NMLVGETINFOTIPW* tip);
