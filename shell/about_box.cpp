#include "about_box.h"

#include "message_box.h"
#include "resource.h"
#include "shell.h"

namespace {

constexpr size_t ABOUT_TEXT_CHARS = 128;

// The author line and the contact address come from the string table, so that they are changed
// in one place.
void OnInitAboutBox(HWND box) {
    wchar_t text[ABOUT_TEXT_CHARS];
    LoadResourceText(IDS_ABOUT_AUTHOR, text, ABOUT_TEXT_CHARS);
    SendDlgItemMessageW(box, IDC_ABOUT_AUTHOR, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
    LoadResourceText(IDS_ABOUT_CONTACT, text, ABOUT_TEXT_CHARS);
    SendDlgItemMessageW(box, IDC_ABOUT_CONTACT, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}

INT_PTR OnAboutCommand(HWND box, WPARAM wParam) {
    WORD id = LOWORD(wParam);
    if (id == IDOK || id == IDCANCEL) {
        EndDialog(box, id);
        return TRUE;
    }
    return FALSE;
}

}  // namespace

INT_PTR CALLBACK AboutBoxProc(HWND box, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            OnInitAboutBox(box);
            return TRUE;  // the system gives the focus to the first control
        case WM_COMMAND:
            return OnAboutCommand(box, wParam);
    }
    return FALSE;
}

INT_PTR RunAboutBox(HWND owner) {
    return DialogBoxParamW(shell.instance, MAKEINTRESOURCEW(IDD_ABOUT), owner, AboutBoxProc, 0);
}
