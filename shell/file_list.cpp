#include "file_list.h"

#include <algorithm>
#include <string>
#include <vector>

#include "conversion_options.h"
#include "explorer.h"
#include "file_list_rules.h"
#include "file_names.h"
#include "layout_rules.h"
#include "main_window.h"
#include "menu_rules.h"
#include "message_box.h"
#include "messages.h"
#include "output_file.h"
#include "position_record.h"
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
    int width;  // pixels at 96 dpi
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
// Room a column needs around its text (the list's and the header's margins), at 96 dpi.
constexpr int COLUMN_PADDING = 14;
// The widest update time: every digit takes the room of a zero or less.
constexpr char16_t WIDEST_UPDATE_TIME[] = u"0000/00/00 00:00";
constexpr COLORREF HINT_TEXT = RGB(128, 128, 128);

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
// `report`, for a converted row of a job with the CMX export, puts what the export wrote into
// the text.
void SetRowResult(int row, int32_t result, const CmxReport* report = nullptr) {
    ResultLook look = LookOfResult(result);
    LVITEMW item{};
    item.mask = LVIF_PARAM | LVIF_IMAGE;
    item.iItem = row;
    item.iImage = ImageOf(look.icon);
    item.lParam = result;
    SendMessageW(shell.fileList, LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    wchar_t text[RESULT_TEXT_CHARS] = {};
    if (report != nullptr && result == RESULT_CONVERTED) {
        wchar_t pattern[RESULT_TEXT_CHARS];
        LoadResourceText(IDS_RESULT_CONVERTED_CMX, pattern, RESULT_TEXT_CHARS);
        const int numbers[] = {static_cast<int>(report->eventsWritten),
                               static_cast<int>(report->keptAsComments)};
        FillTemplate(AsUtf16(pattern), nullptr, 0, numbers, 2, AsUtf16(text), RESULT_TEXT_CHARS);
    } else if (look.textId != 0) {
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
        bool exported = (conversionJob.options & OPTION_EXPORT_CMX) != 0;
        SetRowResult(rowOfFile[k], result, exported ? &conversionJob.cmxReports[k] : nullptr);
        if (result == RESULT_CONVERTED) {
            FormatOutputPath(conversionJob.outputFolder, OUTPUT_NAME_PREFIX,
                             conversionJob.displayNames[k], shell.lastOutput, JOB_PATH_CHARS);
        }
    }
    // What the export wrote makes a row's text longer than any outcome alone: the column
    // widens to it (the list scrolls sideways to the folders).
    if ((conversionJob.options & OPTION_EXPORT_CMX) != 0) {
        int width =
            static_cast<int>(SendMessageW(shell.fileList, LVM_GETCOLUMNWIDTH, COLUMN_RESULT, 0));
        SendMessageW(shell.fileList, LVM_SETCOLUMNWIDTH, COLUMN_RESULT, LVSCW_AUTOSIZE);
        int needed =
            static_cast<int>(SendMessageW(shell.fileList, LVM_GETCOLUMNWIDTH, COLUMN_RESULT, 0));
        SendMessageW(shell.fileList, LVM_SETCOLUMNWIDTH, COLUMN_RESULT, std::max(width, needed));
    }
    size_t length = Utf16Length(conversionJob.outputFolder);
    std::copy(conversionJob.outputFolder, conversionJob.outputFolder + length + 1,
              shell.resultFolder);
    SendMessageW(shell.fileList, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(shell.fileList, nullptr, TRUE);
    shell.changingRows = false;
}

// The full path of a row's file: its location, "\" and its name.
void ReadRowPath(int row, char16_t* out) {
    char16_t name[JOB_NAME_CHARS];
    char16_t location[JOB_PATH_CHARS];
    ReadRowText(row, COLUMN_NAME, name, JOB_NAME_CHARS);
    ReadRowText(row, COLUMN_LOCATION, location, JOB_PATH_CHARS);
    JoinPath(location, u'\\', name, out, JOB_PATH_CHARS);
}

// The file the last job wrote for a row it converted.
bool ReadRowOutput(int row, char16_t* out) {
    char16_t name[JOB_NAME_CHARS];
    ReadRowText(row, COLUMN_NAME, name, JOB_NAME_CHARS);
    return FormatOutputPath(shell.resultFolder, OUTPUT_NAME_PREFIX, name, out, JOB_PATH_CHARS);
}

int TextWidth(HDC dc, const wchar_t* text) {
    SIZE size{};
    GetTextExtentPoint32W(dc, text, lstrlenW(text), &size);
    return size.cx;
}

// What a column's texts need besides the files' own: its header, and the fixed texts it shows.
int NeededColumnWidth(HDC dc, int column) {
    wchar_t text[COLUMN_TEXT_CHARS];
    LoadResourceText(COLUMNS[column].textId, text, COLUMN_TEXT_CHARS);
    int needed = TextWidth(dc, text);
    if (column == COLUMN_UPDATE) {
        needed = std::max(needed, TextWidth(dc, AsWide(WIDEST_UPDATE_TIME)));
    } else if (column == COLUMN_RESULT) {
        // The outcomes' texts have consecutive ids, the catch-all one last.
        for (UINT id = IDS_RESULT_CONVERTED; id <= IDS_RESULT_FAILED; ++id) {
            LoadResourceText(id, text, COLUMN_TEXT_CHARS);
            needed = std::max(needed, TextWidth(dc, text));
        }
    }
    return needed;
}

// An empty list says, in its middle, what to do first.
void DrawEmptyListHint(HDC dc) {
    RECT area{};
    GetClientRect(shell.fileList, &area);
    auto header = reinterpret_cast<HWND>(SendMessageW(shell.fileList, LVM_GETHEADER, 0, 0));
    RECT headerRect{};
    if (header != nullptr && GetWindowRect(header, &headerRect)) {
        area.top += headerRect.bottom - headerRect.top;
    }
    wchar_t hint[COLUMN_TEXT_CHARS];
    LoadResourceText(IDS_EMPTY_LIST_HINT, hint, COLUMN_TEXT_CHARS);
    HGDIOBJ previous =
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(shell.fileList, WM_GETFONT, 0, 0)));
    int previousMode = SetBkMode(dc, TRANSPARENT);
    COLORREF previousColor = SetTextColor(dc, HINT_TEXT);
    DrawTextW(dc, hint, -1, &area, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SetTextColor(dc, previousColor);
    SetBkMode(dc, previousMode);
    SelectObject(dc, previous);
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
    int count = CountRows();
    // The last row goes: the hint comes back in the middle of the list.
    if (count == 1) {
        InvalidateRect(shell.fileList, nullptr, TRUE);
    }
    DeleteButtons buttons = ButtonsDuringDelete(count, shell.targetCount);
    EnableWindow(shell.selectAllButton, buttons.selectAll);
    EnableWindow(shell.convertButton, buttons.convert);
    ShowFileCount(buttons.shownCount);
}

// A double click on a converted row opens what the job wrote for it.
void OnListDoubleClick(HWND window, const NMITEMACTIVATE* click) {
    if (click->iItem >= 0 && RowResult(click->iItem) == RESULT_CONVERTED) {
        RunRowCommand(window, click->iItem, IDM_OPEN_OUTPUT);
    }
}

LRESULT OnListCustomDraw(const NMLVCUSTOMDRAW* draw) {
    if (draw->nmcd.dwDrawStage == CDDS_PREPAINT) {
        return CountRows() == 0 ? CDRF_NOTIFYPOSTPAINT : CDRF_DODEFAULT;
    }
    if (draw->nmcd.dwDrawStage == CDDS_POSTPAINT && CountRows() == 0) {
        DrawEmptyListHint(draw->nmcd.hdc);
    }
    return CDRF_DODEFAULT;
}

// The tip of a row: its whole path, which its name and location columns may cut.
void OnInfoTip(NMLVGETINFOTIPW* tip) {
    if (tip->iItem < 0 || tip->pszText == nullptr || tip->cchTextMax <= 0) {
        return;
    }
    char16_t path[JOB_PATH_CHARS];
    ReadRowPath(tip->iItem, path);
    lstrcpynW(tip->pszText, AsWide(path), tip->cchTextMax);
}

void OnListClick(const NMITEMACTIVATE* click) {
    if (ClickSuspendsConvert(click->ptAction.x, click->ptAction.y)) {
        shell.targetCount = 0;
        EnableWindow(shell.convertButton, FALSE);
    }
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
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0,
                 LVS_EX_GRIDLINES | LVS_EX_CHECKBOXES | LVS_EX_HEADERDRAGDROP |
                     LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP);
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

LRESULT OnFileListNotify(HWND window, NMHDR* notification) {
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
        case NM_DBLCLK:
            OnListDoubleClick(window, reinterpret_cast<const NMITEMACTIVATE*>(notification));
            break;
        case NM_CUSTOMDRAW:
            return OnListCustomDraw(reinterpret_cast<const NMLVCUSTOMDRAW*>(notification));
        case LVN_GETINFOTIPW:
            OnInfoTip(reinterpret_cast<NMLVGETINFOTIPW*>(notification));
            break;
    }
    return 0;
}

void FitColumns(int dpi) {
    HDC dc = GetDC(shell.fileList);
    HGDIOBJ previous =
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(shell.fileList, WM_GETFONT, 0, 0)));
    int padding = ScaleForDpi(COLUMN_PADDING, dpi);
    for (int column = 0; column < FILE_LIST_COLUMNS; ++column) {
        int width =
            ColumnWidth(COLUMNS[column].width, dpi, NeededColumnWidth(dc, column) + padding);
        SendMessageW(shell.fileList, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(column), width);
    }
    SelectObject(dc, previous);
    ReleaseDC(shell.fileList, dc);
}

void ShowRowMenu(HWND window, int x, int y) {
    int row = -1;
    if (x == -1 && y == -1) {
        // From the keyboard: the focused row, under its name.
        row = static_cast<int>(
            SendMessageW(shell.fileList, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
        RECT rect{};
        rect.left = LVIR_LABEL;
        if (row < 0 || !SendMessageW(shell.fileList, LVM_GETITEMRECT, static_cast<WPARAM>(row),
                                     reinterpret_cast<LPARAM>(&rect))) {
            return;
        }
        POINT corner{rect.left, rect.bottom};
        ClientToScreen(shell.fileList, &corner);
        x = corner.x;
        y = corner.y;
    } else {
        LVHITTESTINFO hit{};
        hit.pt = POINT{x, y};
        ScreenToClient(shell.fileList, &hit.pt);
        row = static_cast<int>(
            SendMessageW(shell.fileList, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    }
    if (row < 0) {
        return;  // not on a row
    }
    // The menu is about this row: it is selected, as a click would select it.
    if ((SendMessageW(shell.fileList, LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_SELECTED) &
         LVIS_SELECTED) == 0) {
        LVITEMW none{};
        none.stateMask = LVIS_SELECTED;
        SendMessageW(shell.fileList, LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
                     reinterpret_cast<LPARAM>(&none));
        SelectRow(row);
    }
    HMENU bar = LoadMenuW(shell.instance, MAKEINTRESOURCEW(IDR_ROW_MENU));
    HMENU menu = GetSubMenu(bar, 0);
    RowMenuEnabling enabling = RowMenuFor(RowResult(row));
    auto enable = [menu](UINT id, bool enabled) {
        EnableMenuItem(menu, id, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
    };
    enable(IDM_OPEN_OUTPUT, enabling.openOutput);
    enable(IDM_OPEN_SOURCE, enabling.openSource);
    enable(IDM_SHOW_IN_FOLDER, enabling.showInFolder);
    enable(IDM_REMOVE, enabling.remove);
    auto command = static_cast<int>(TrackPopupMenu(
        menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, x, y, 0, window, nullptr));
    DestroyMenu(bar);
    if (command != 0) {
        RunRowCommand(window, row, command);
    }
}

void RunRowCommand(HWND window, int row, int command) {
    char16_t path[JOB_PATH_CHARS];
    switch (command) {
        case IDM_OPEN_OUTPUT:
            if (RowResult(row) == RESULT_CONVERTED && ReadRowOutput(row, path)) {
                OpenWithProgram(window, AsWide(path));
            }
            break;
        case IDM_OPEN_SOURCE:
            ReadRowPath(row, path);
            OpenWithProgram(window, AsWide(path));
            break;
        case IDM_SHOW_IN_FOLDER:
            ReadRowPath(row, path);
            ShowInFolder(window, AsWide(path));
            break;
        case IDM_REMOVE:
            SendMessageW(window, WM_COMMAND, IDM_REMOVE, 0);
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
    BeginAddBatch(batch, count, CountConvertTargets(), FoldFileName);
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
    // A folder that is gone or cannot take files is said once, before any file is tried, not
    // once for every file.
    if (!IsUsableFolder(conversionJob.outputFolder)) {
        const char16_t* folder =
            conversionJob.outputFolder[0] != 0 ? conversionJob.outputFolder : u".";
        ShowMessage(window, IDS_MESSAGE_CAPTION, MB_OK | MB_ICONWARNING, IDS_OUTPUT_FOLDER_UNUSABLE,
                    {folder});
        SetFocus(shell.fileList);
        return;
    }
    static int rowOfFile[MAX_JOB_FILES];
    JobFillResult filled =
        FillJobFromList(&conversionJob, CountRows(), ReadListedRow, nullptr,
                        shell.options | ExportOptionBits(shell.exportSettings), rowOfFile);
    conversionJob.cmxFramesPerSecond = shell.exportSettings.framesPerSecond;
    if (filled.outcome == JOB_FILLED) {
        // The output folder stays shut while the job writes into it.
        shell.jobRunning = true;
        ShowOutputFolderState();
        RunProgressDialog(window, &conversionJob);
        shell.jobRunning = false;
        ShowOutputFolderState();
        ShowJobResults(rowOfFile);
    } else if (filled.outcome == JOB_TOO_MANY_FILES) {
        ShowMessage(window, IDS_MESSAGE_CAPTION, MB_OK | MB_ICONWARNING, IDS_TOO_MANY_TARGETS, {},
                    {MAX_JOB_FILES});
    } else {
        ListedFile file;
        ReadListedRow(nullptr, filled.row, &file);
        ShowMessage(window, IDS_MESSAGE_CAPTION, MB_OK | MB_ICONWARNING,
                    MessageText(MESSAGE_PATH_TOO_LONG), {file.name, file.location});
    }
    SetFocus(shell.fileList);
}
