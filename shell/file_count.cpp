#include "file_count.h"

#include "message_box.h"
#include "resource.h"
#include "shell.h"

namespace {

constexpr size_t FILE_COUNT_CHARS = 48;
constexpr size_t LABEL_TEXT_CHARS = 260;
constexpr COLORREF LABEL_BACKGROUND = RGB(0, 0, 0);
constexpr COLORREF LABEL_TEXT = RGB(255, 255, 0);

}  // namespace

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
