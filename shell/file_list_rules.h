// Rules of the main window's file list that need no window: a row's check state, the buttons
// that follow the list's counts, sorting by column, the update time shown for a file, the full
// path of a listed file, the job filled from the rows and what a row shows of its outcome.
#pragma once

#include <cstddef>
#include <cstdint>

#include "conversion_job.h"

// A row's check box is its state image.
constexpr int STATE_IMAGE_EXCLUDED = 1;  // box clear: left out of the next job
constexpr int STATE_IMAGE_TARGET = 2;    // box ticked: a convert target

// Columns (subitems) of the file list.
constexpr int COLUMN_NAME = 0;
constexpr int COLUMN_UPDATE = 1;
constexpr int COLUMN_LOCATION = 2;
constexpr int COLUMN_RESULT = 3;  // shown second, after the name
constexpr int FILE_LIST_COLUMNS = 4;

// Sort direction of a column.
constexpr int SORT_DIRECTION_NONE = 0;  // never sorted
constexpr int SORT_DIRECTION_ASCENDING = 1;
constexpr int SORT_DIRECTION_DESCENDING = 2;

// "YYYY/MM/DD hh:mm" and its terminator, with room for a five-digit year.
constexpr size_t UPDATE_TIME_CHARS = 24;

// Every row whose box is not clear takes part in the next job, a row without a state image too.
bool IsConvertTarget(int stateImage);

// The direction of a column after a click on its header: ascending first, then each click
// turns it round. Each column keeps its own.
int NextSortDirection(int direction);

// The order of two rows from the comparison of their texts (first against second): descending
// turns it round.
int DirectedComparison(int textComparison, int direction);

// What the list's buttons show: enabled or not, and the number in the file count label.
struct ListButtons {
    bool toggle;
    bool selectAll;
    bool remove;
    bool convert;
    int shownCount;
};

// After any row has changed: toggle and remove need a selected row, select all a row, convert
// a row and a convert target.
ListButtons ButtonsAfterChange(int itemCount, bool anySelected, int targetCount);

// While one row is deleted (the list still counts it): select all, convert and the label follow
// the count without that row and the last computed target count. Toggle and remove are left
// as they are.
struct DeleteButtons {
    bool selectAll;
    bool convert;
    int shownCount;
};
DeleteButtons ButtonsDuringDelete(int itemCount, int lastTargetCount);

// A click at this point of the list's client area (x 2 to 20, y up to 14: the check-box
// column at the very top) may change a tick the list has not reported yet; convert stays off
// until the next change notification has counted the targets again.
bool ClickSuspendsConvert(int x, int y);

// "%04d/%02d/%02d %02d:%02d" from the local time of a file's last write.
void FormatUpdateTime(const CalendarTime& time, char16_t* out, size_t capacity);

// Whether a file can be listed: its full path (folder, "\", name) fits the job's path field
// and its name the display-name field.
bool FitsJobFields(size_t folderLength, size_t nameLength);

// One row of the list as the job needs it.
struct ListedFile {
    int stateImage;
    char16_t name[JOB_NAME_CHARS];      // column 0, the display name
    char16_t location[JOB_PATH_CHARS];  // column 2, the folder without a trailing "\"
};

// Reads row `index` of the list, in the order shown, into `file`.
using ReadListedFile = void (*)(void* context, int index, ListedFile* file);

enum JobFillOutcome {
    JOB_FILLED,
    // More convert targets than one job takes: nothing to start.
    JOB_TOO_MANY_FILES,
    // A row's full path does not fit the job's path field (`row` says which).
    JOB_PATH_TOO_LONG,
};

struct JobFillResult {
    JobFillOutcome outcome;
    int row;
};

// Puts every convert target of the `rowCount` rows into `job`, in the order shown, with the
// full path location + "\" + name, and copies the option word; `rowOfFile[k]` tells which row
// gave file k. `fileCount` and `options` are set only when every target fits, and the files'
// results then read FILE_NOT_REACHED; the job is never written past its MAX_JOB_FILES entries.
JobFillResult FillJobFromList(ConversionJob* job, int rowCount, ReadListedFile read, void* context,
                              uint32_t options, int rowOfFile[MAX_JOB_FILES]);

// --- A row's outcome ---------------------------------------------------------------------------

// The outcome a row holds when no job has taken it: rows start so, and each job starts all rows
// so again before it gives the rows it took their results.
constexpr int32_t ROW_WITHOUT_RESULT = -2;

// The small icon a row shows.
enum RowIcon {
    ROW_ICON_FILE,       // the first file's shell icon: no outcome, or not reached
    ROW_ICON_CONVERTED,  // written
    ROW_ICON_FAILED,     // reported as a failure
};

// What the result column shows for a row's outcome: a JobResult, or ROW_WITHOUT_RESULT.
struct ResultLook {
    unsigned textId;  // a string of the window's string table; 0 leaves the column empty
    RowIcon icon;
};
ResultLook LookOfResult(int32_t result);

// The texts a row's tip is written with (from the string table), each its own line: what the
// export wrote ("%s" the name of the export, "%d" events, "%d" dissolves written in two lines),
// the events it kept as comments ("%d" their number; their first numbers follow), and the reels
// it renamed ("%d").
struct RowTipTexts {
    const char16_t* exportCounts;
    const char16_t* keptEvents;
    const char16_t* renamedReels;
};

// The tip of a row: its whole path and, when the last job wrote the CMX export for it
// (`report` not null), what the export wrote, named `exportName`, up to the numbers of the
// first CMX_REPORT_NUMBERS events kept as comments ("…" when there were more). Returns the
// length written.
size_t FormatRowTip(const char16_t* path, const char16_t* exportName, const CmxReport* report,
                    const RowTipTexts& texts, char16_t* out, size_t capacity);

// Whether two folder paths name the same folder as Windows sees them: equal but for letter case.
bool SameFolderPath(const char16_t* a, const char16_t* b);

// What opening the output folder shows selected: the last file the last job wrote
// (`lastOutput`, empty when none), when that job wrote into the folder that is the output folder
// now; null when the folder is to open as it is.
const char16_t* OutputToSelect(const char16_t* outputFolder, const char16_t* resultFolder,
                               const char16_t* lastOutput);
