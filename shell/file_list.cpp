#include "file_list.h"

#include <algorithm>
#include <string>
#include <vector>

#include "file_count.h"
#include "file_list_rules.h"
#include "file_names.h"
#include "layout_rules.h"
#include "message_box.h"
#include "position_record.h"
#include "resource.h"
#include "shell.h"

namespace {

constexpr size_t COLUMN_TEXT_CHARS = 64;

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
// Room a column needs around its text (the list's and the header's margins), at 96 dpi.
constexpr int COLUMN_PADDING = 14;
// The widest update time: every digit takes the room of a zero or less.
constexpr char16_t WIDEST_UPDATE_TIME[] = u"0000/00/00 00:00";
constexpr COLORREF HINT_TEXT = RGB(128, 128, 128);

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

LRESULT OnListCustomDraw(const NMLVCUSTOMDRAW* draw) {
    if (draw->nmcd.dwDrawStage == CDDS_PREPAINT) {
        return CountRows() == 0 ? CDRF_NOTIFYPOSTPAINT : CDRF_DODEFAULT;
    }
    if (draw->nmcd.dwDrawStage == CDDS_POSTPAINT && CountRows() == 0) {
        DrawEmptyListHint(draw->nmcd.hdc);
    }
    return CDRF_DODEFAULT;
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
        results[static_cast<size_t>(row)] = RowOutcome(row);
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

}  // namespace

// --- A row ---------------------------------------------------------------------------------

int RowStateImage(int row) {
    auto state = static_cast<UINT>(SendMessageW(shell.fileList, LVM_GETITEMSTATE,
                                                static_cast<WPARAM>(row), LVIS_STATEIMAGEMASK));
    return static_cast<int>((state & LVIS_STATEIMAGEMASK) >> 12);
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

int32_t RowOutcome(int row) {
    LVITEMW item{};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    SendMessageW(shell.fileList, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    return static_cast<int32_t>(item.lParam);
}

void ReadRowPath(int row, char16_t* out) {
    char16_t name[JOB_NAME_CHARS];
    char16_t location[JOB_PATH_CHARS];
    ReadRowText(row, COLUMN_NAME, name, JOB_NAME_CHARS);
    ReadRowText(row, COLUMN_LOCATION, location, JOB_PATH_CHARS);
    JoinPath(location, u'\\', name, out, JOB_PATH_CHARS);
}

void SetRowOutcome(int row, int32_t outcome, int image) {
    LVITEMW item{};
    item.mask = LVIF_PARAM | LVIF_IMAGE;
    item.iItem = row;
    item.iImage = image;
    item.lParam = outcome;
    SendMessageW(shell.fileList, LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
}

// The menu of a row is about that row: it is selected, as a click would select it.
void SelectRowAlone(int row) {
    if ((SendMessageW(shell.fileList, LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_SELECTED) &
         LVIS_SELECTED) != 0) {
        return;
    }
    LVITEMW none{};
    none.stateMask = LVIS_SELECTED;
    SendMessageW(shell.fileList, LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
                 reinterpret_cast<LPARAM>(&none));
    SelectRow(row);
}

void BeginChangingRows() {
    shell.changingRows = true;
    SendMessageW(shell.fileList, WM_SETREDRAW, FALSE, 0);
}

void EndChangingRows() {
    SendMessageW(shell.fileList, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(shell.fileList, nullptr, TRUE);
    shell.changingRows = false;
}

// --- The list --------------------------------------------------------------------------------

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
    // A row's tip may have several lines: a tooltip breaks lines only with a width to keep to.
    auto tips = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETTOOLTIPS, 0, 0));
    if (tips != nullptr) {
        SendMessageW(tips, TTM_SETMAXTIPWIDTH, 0, GetSystemMetrics(SM_CXSCREEN) / 2);
    }
}

LRESULT OnFileListNotify(NMHDR* notification) {
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
        case NM_CUSTOMDRAW:
            return OnListCustomDraw(reinterpret_cast<const NMLVCUSTOMDRAW*>(notification));
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
        if (IsConvertTarget(RowStateImage(row))) {
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
