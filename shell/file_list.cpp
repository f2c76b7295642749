#include "file_list.h"

#include <algorithm>
#include <string>
#include <vector>

#include "file_list_rules.h"
#include "file_names.h"
#include "message_box.h"
#include "progress_dialog.h"
#include "resource.h"
#include "shell.h"

namespace {

constexpr size_t FILE_COUNT_CHARS = 48;
constexpr size_t COLUMN_TEXT_CHARS = 64;
constexpr size_t LABEL_TEXT_CHARS = 260;
constexpr COLORREF LABEL_BACKGROUND = RGB(0, 0, 0);
constexpr COLORREF LABEL_TEXT = RGB(255, 255, 0);

struct FileListColumn {
    UINT textId;
    int format;
    int width;  // pixels
};

// By subitem. The result column is added last, so the others keep their subitems, and shown
// second, where it is seen without scrolling.
constexpr FileListColumn COLUMNS[FILE_LIST_COLUMNS] = {
    {IDS_COLUMN_NAME, LVCFMT_CENTER, 180},  // the system shows the first column left-aligned
    {IDS_COLUMN_UPDATE, LVCFMT_CENTER, 103},
    {IDS_COLUMN_LOCATION, LVCFMT_LEFT, 270},
    {IDS_COLUMN_RESULT, LVCFMT_LEFT, 80},
};
constexpr int COLUMN_ORDER[FILE_LIST_COLUMNS] = {COLUMN_NAME, COLUMN_RESULT, COLUMN_UPDATE,
                                                 COLUMN_LOCATION};
constexpr size_t RESULT_TEXT_CHARS = 64;

int StateImage(int row) {
    auto state = static_cast<UINT>(SendMessageW(shell.fileList, LVM_GETITEMSTATE,
                                                static_cast<WPARAM>(row), LVIS_STATEIMAGEMASK));
    return static_cast<int>((state & LVIS_STATEIMAGEMASK) >> 12);
}

void SetStateImage(int row, int image) {
    LVITEMW item{};
    item.stateMask = LVIS_STATEIMAGEMASK;
    item.state = INDEXTOSTATEIMAGEMASK(image);
    SendMessageW(shell.fileList, LVM_SETITEMSTATE, static_cast<WPARAM>(row),
                 reinterpret_cast<LPARAM>(&item));
}

void SelectRow(int row) {
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED;
    item.state = LVIS_SELECTED;
    SendMessageW(shell.fileList, LVM_SETITEMSTATE, static_cast<WPARAM>(row),
                 reinterpret_cast<LPARAM>(&item));
}

// The next selected row after `row` (-1: from the first), or -1.
int NextSelectedRow(int row) {
    return static_cast<int>(
        SendMessageW(shell.fileList, LVM_GETNEXTITEM, static_cast<WPARAM>(row), LVNI_SELECTED));
}

void ReadRowText(int row, int column, char16_t* out, size_t capacity) {
    out[0] = 0;
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = AsWide(out);
    item.cchTextMax = static_cast<int>(capacity);
    SendMessageW(shell.fileList, LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
                 reinterpret_cast<LPARAM>(&item));
}

void SetRowText(int row, int column, const char16_t* text) {
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = row;
    item.iSubItem = column;
    item.pszText = const_cast<wchar_t*>(AsWide(text));
    SendMessageW(shell.fileList, LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
}

int ImageOf(RowIcon icon) {
    switch (icon) {
        case ROW_ICON_CONVERTED:
            return shell.convertedImage;
        case ROW_ICON_FAILED:
            return shell.failedImage;
        case ROW_ICON_FILE:
            break;
    }
    return shell.fileImage >= 0 ? shell.fileImage : I_IMAGENONE;
}

// The row's outcome: kept as the row's item data, shown in the result column and by its icon.
void SetRowResult(int row, int32_t result) {
    ResultLook look = LookOfResult(result);
    LVITEMW item{};
    item.mask = LVIF_PARAM | LVIF_IMAGE;
    item.iItem = row;
    item.iImage = ImageOf(look.icon);
    item.lParam = result;
    SendMessageW(shell.fileList, LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    wchar_t text[RESULT_TEXT_CHARS] = {};
    if (look.textId != 0) {
        LoadResourceText(look.textId, text, RESULT_TEXT_CHARS);
    }
    SetRowText(row, COLUMN_RESULT, AsUtf16(text));
}

// After a job every row shows what became of it in this job: the rows it took their outcome,
// the others nothing. The folder written to and the last file written are kept for the
// commands that open them.
void ShowJobResults(const int rowOfFile[MAX_JOB_FILES]) {
    shell.changingRows = true;
    SendMessageW(shell.fileList, WM_SETREDRAW, FALSE, 0);
    int count = CountRows();
    for (int row = 0; row < count; ++row) {
        SetRowResult(row, ROW_WITHOUT_RESULT);
    }
    shell.lastOutput[0] = 0;
    for (int k = 0; k < conversionJob.fileCount; ++k) {
        int32_t result = conversionJob.results[k];
        SetRowResult(rowOfFile[k], result);
        if (result == RESULT_CONVERTED) {
            OutputPathOf(conversionJob.outputFolder, conversionJob.displayNames[k],
                         shell.lastOutput, JOB_PATH_CHARS);
        }
    }
    size_t length = Utf16Length(conversionJob.outputFolder);
    std::copy(conversionJob.outputFolder, conversionJob.outputFolder + length + 1,
              shell.resultFolder);
    SendMessageW(shell.fileList, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(shell.fileList, nullptr, TRUE);
    shell.changingRows = false;
}

// --- Notifications -------------------------------------------------------------------------

void ShowListButtons(int count, int targetCount) {
    ListButtons buttons = ButtonsAfterChange(count, NextSelectedRow(-1) >= 0, targetCount);
    EnableWindow(shell.toggleButton, buttons.toggle);
    EnableWindow(shell.selectAllButton, buttons.selectAll);
    EnableWindow(shell.removeButton, buttons.remove);
    EnableWindow(shell.convertButton, buttons.convert);
    ShowFileCount(buttons.shownCount);
}

void OnRowsChanged() {
    // While a batch of files is added, the batch counts; it shows the counts at its end.
    if (shell.changingRows) {
        return;
    }
    shell.targetCount = CountConvertTargets();
    ShowListButtons(CountRows(), shell.targetCount);
}

void OnRowDeleting() {
    DeleteButtons buttons = ButtonsDuringDelete(CountRows(), shell.targetCount);
    EnableWindow(shell.selectAllButton, buttons.selectAll);
    EnableWindow(shell.convertButton, buttons.convert);
    ShowFileCount(buttons.shownCount);
}

void OnListClick(const NMITEMACTIVATE* click) {
    if (ClickSuspendsConvert(click->ptAction.x, click->ptAction.y)) {
        shell.targetCount = 0;
        EnableWindow(shell.convertButton, FALSE);
    }
}

int32_t RowResult(int row) {
    LVITEMW item{};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    SendMessageW(shell.fileList, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    return static_cast<int32_t>(item.lParam);
}

void SetRowParam(int row, LPARAM value) {
    LVITEMW item{};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    item.lParam = value;
    SendMessageW(shell.fileList, LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
}

// The comparison of LVM_SORTITEMS: two rows by the places the sort gave them.
int CALLBACK CompareRanks(LPARAM first, LPARAM second, LPARAM) {
    return first < second ? -1 : first > second ? 1 : 0;
}

// Sorts the rows by the texts of one column. The order is worked out first, from every row's
// text, and the list is then told each row's place: a comparison that reads rows by their
// index while the list moves them may read the wrong ones. Rows of equal text keep their order.
void SortByColumn(int column) {
    if (column < 0 || column >= FILE_LIST_COLUMNS) {
        return;
    }
    int direction = NextSortDirection(shell.sortDirections[column]);
    shell.sortDirections[column] = direction;
    int count = CountRows();
    std::vector<std::u16string> texts(static_cast<size_t>(count));
    std::vector<int32_t> results(static_cast<size_t>(count));
    std::vector<int> order(static_cast<size_t>(count));
    for (int row = 0; row < count; ++row) {
        char16_t text[JOB_PATH_CHARS];
        ReadRowText(row, column, text, JOB_PATH_CHARS);
        texts[static_cast<size_t>(row)] = text;
        results[static_cast<size_t>(row)] = RowResult(row);
        order[static_cast<size_t>(row)] = row;
    }
    std::stable_sort(order.begin(), order.end(), [&](int first, int second) {
        int comparison = lstrcmpW(AsWide(texts[static_cast<size_t>(first)].c_str()),
                                  AsWide(texts[static_cast<size_t>(second)].c_str()));
        return DirectedComparison(comparison, direction) < 0;
    });
    // Each row's item data holds its place for the sort, and its outcome again afterwards.
    shell.changingRows = true;
    for (int place = 0; place < count; ++place) {
        SetRowParam(order[static_cast<size_t>(place)], place);
    }
    SendMessageW(shell.fileList, LVM_SORTITEMS, 0, reinterpret_cast<LPARAM>(CompareRanks));
    for (int place = 0; place < count; ++place) {
        SetRowParam(place, results[static_cast<size_t>(order[static_cast<size_t>(place)])]);
    }
    shell.changingRows = false;
}

// --- Convert -------------------------------------------------------------------------------

// Reads one row for the job; the texts only of a convert target.
void ReadListedRow(void*, int row, ListedFile* file) {
    file->stateImage = StateImage(row);
    if (IsConvertTarget(file->stateImage)) {
        ReadRowText(row, COLUMN_NAME, file->name, JOB_NAME_CHARS);
        ReadRowText(row, COLUMN_LOCATION, file->location, JOB_PATH_CHARS);
    }
}

}  // namespace

void SetUpFileList(HWND list) {
    SendMessageW(
        list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0,
        LVS_EX_GRIDLINES | LVS_EX_CHECKBOXES | LVS_EX_HEADERDRAGDROP | LVS_EX_FULLROWSELECT);
    int index = 0;
    for (const FileListColumn& column : COLUMNS) {
        wchar_t text[COLUMN_TEXT_CHARS];
        LoadResourceText(column.textId, text, COLUMN_TEXT_CHARS);
        LVCOLUMNW item{};
        item.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        item.fmt = column.format;
        item.cx = column.width;
        item.pszText = text;
        item.iSubItem = index;
        SendMessageW(list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(&item));
        ++index;
    }
    SendMessageW(list, LVM_SETCOLUMNORDERARRAY, FILE_LIST_COLUMNS,
                 reinterpret_cast<LPARAM>(COLUMN_ORDER));
}

void OnFileListNotify(HWND, const NMHDR* notification) {
    switch (notification->code) {
        case LVN_ITEMCHANGED:
            OnRowsChanged();
            break;
        case LVN_DELETEITEM:
            OnRowDeleting();
            break;
        case LVN_COLUMNCLICK:
            SortByColumn(reinterpret_cast<const NMLISTVIEW*>(notification)->iSubItem);
            break;
        case NM_CLICK:
            OnListClick(reinterpret_cast<const NMITEMACTIVATE*>(notification));
            break;
    }
}

void DrawFileCountLabel(const DRAWITEMSTRUCT* item) {
    HDC dc = item->hDC;
    HBRUSH background = CreateSolidBrush(LABEL_BACKGROUND);
    HGDIOBJ previous = SelectObject(dc, background);
    SetBkColor(dc, LABEL_BACKGROUND);
    FillRect(dc, &item->rcItem, background);
    SetTextColor(dc, LABEL_TEXT);
    wchar_t text[LABEL_TEXT_CHARS];
    GetWindowTextW(item->hwndItem, text, static_cast<int>(LABEL_TEXT_CHARS));
    RECT area = item->rcItem;
    DrawTextW(dc, text, -1, &area, DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOCLIP);
    SelectObject(dc, previous);
    DeleteObject(background);
}

void ShowFileCount(int count) {
    wchar_t pattern[FILE_COUNT_CHARS];
    LoadResourceText(IDS_FILE_COUNT, pattern, FILE_COUNT_CHARS);
    char16_t text[FILE_COUNT_CHARS];
    FillTemplate(AsUtf16(pattern), nullptr, 0, &count, 1, text, FILE_COUNT_CHARS);
    SendMessageW(shell.fileCountLabel, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}

int CountRows() {
    return static_cast<int>(SendMessageW(shell.fileList, LVM_GETITEMCOUNT, 0, 0));
}

int CountSelectedRows() {
    return static_cast<int>(SendMessageW(shell.fileList, LVM_GETSELECTEDCOUNT, 0, 0));
}

int CountConvertTargets() {
    int count = CountRows();
    int targets = 0;
    for (int row = 0; row < count; ++row) {
        if (IsConvertTarget(StateImage(row))) {
            ++targets;
        }
    }
    return targets;
}

void BeginAddingFiles(AddBatch* batch) {
    shell.changingRows = true;
    SendMessageW(shell.fileList, WM_SETREDRAW, FALSE, 0);
    int count = CountRows();
    BeginAddBatch(batch, count, CountConvertTargets());
    for (int row = 0; row < count; ++row) {
        char16_t name[JOB_NAME_CHARS];
        char16_t location[JOB_PATH_CHARS];
        ReadRowText(row, COLUMN_NAME, name, JOB_NAME_CHARS);
        ReadRowText(row, COLUMN_LOCATION, location, JOB_PATH_CHARS);
        NoteListedRow(batch, name, location);
    }
}

void EndAddingFiles(const AddBatch* batch) {
    shell.changingRows = false;
    SendMessageW(shell.fileList, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(shell.fileList, nullptr, TRUE);
    shell.targetCount = batch->targetCount;
    ShowListButtons(batch->rowCount, batch->targetCount);
}

bool InsertFileRow(int index, const char16_t* name, const char16_t* updateTime,
                   const char16_t* location) {
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
    item.iItem = index;
    item.iImage = shell.fileImage >= 0 ? shell.fileImage : I_IMAGENONE;
    item.lParam = ROW_WITHOUT_RESULT;
    item.pszText = const_cast<wchar_t*>(AsWide(name));
    int row = static_cast<int>(
        SendMessageW(shell.fileList, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    if (row < 0) {
        return false;
    }
    SetRowText(row, COLUMN_UPDATE, updateTime);
    SetRowText(row, COLUMN_LOCATION, location);
    SetStateImage(row, STATE_IMAGE_TARGET);
    return true;
}

void SelectAllRows() {
    SetFocus(shell.fileList);
    SelectRow(-1);
}

void RemoveSelectedRows() {
    for (int row = NextSelectedRow(-1); row >= 0; row = NextSelectedRow(-1)) {
        if (!SendMessageW(shell.fileList, LVM_DELETEITEM, static_cast<WPARAM>(row), 0)) {
            break;
        }
    }
    if (CountRows() > 0) {
        SelectRow(0);
    }
    SetFocus(shell.fileList);
}

// The toggle belongs to the window: the first use ticks the selected rows, the next clears
// them, whatever their boxes show.
void ToggleConvertTargets() {
    shell.toggleState = shell.toggleState == 0 ? 1 : 0;
    int image = shell.toggleState == 1 ? STATE_IMAGE_TARGET : STATE_IMAGE_EXCLUDED;
    for (int row = NextSelectedRow(-1); row >= 0; row = NextSelectedRow(row)) {
        SetStateImage(row, image);
    }
    SetFocus(shell.fileList);
}

// The modal progress dialog keeps the main window from taking input while the job runs; the
// job changes neither the rows, nor their ticks, nor their order.
void ConvertTargets(HWND window) {
    static int rowOfFile[MAX_JOB_FILES];
    JobFillResult filled = FillJobFromList(&conversionJob, CountRows(), ReadListedRow, nullptr,
                                           shell.options, rowOfFile);
    if (filled.outcome == JOB_FILLED) {
        RunProgressDialog(window, &conversionJob);
        ShowJobResults(rowOfFile);
    } else if (filled.outcome == JOB_TOO_MANY_FILES) {
        ShowMessage(window, IDS_MESSAGE_CAPTION, MB_OK | MB_ICONWARNING, IDS_TOO_MANY_TARGETS, {},
                    {MAX_JOB_FILES});
    } else {
        ListedFile file;
        ReadListedRow(nullptr, filled.row, &file);
        ShowMessage(window, IDS_MESSAGE_CAPTION, MB_OK | MB_ICONWARNING, IDS_PATH_TOO_LONG,
                    {file.name, file.location});
    }
    SetFocus(shell.fileList);
}
