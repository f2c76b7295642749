#include "add_files.h"

#include <commctrl.h>
#include <commdlg.h>

#include "file_list.h"
#include "file_list_rules.h"
#include "file_names.h"
#include "message_box.h"
#include "messages.h"
#include "resource.h"
#include "shell.h"

namespace {

// The longest path Windows has, terminator included: a dropped path is taken whole.
constexpr size_t LONGEST_PATH_CHARS = 32768;
constexpr size_t DIALOG_TEXT_CHARS = 128;

// The file in hand while it is added. Each part can hold a whole path, so that a file refused
// for its length is still named in full.
struct CandidateFile {
    char16_t folder[LONGEST_PATH_CHARS];
    char16_t name[LONGEST_PATH_CHARS];
};

// The open dialog's result: a process-wide buffer, as the dialog is modal and one at a time.
wchar_t openResult[OPEN_RESULT_CHARS];

void RefuseFile(HWND window, const char16_t* pattern, const char16_t* name,
                const char16_t* folder) {
    ShowMessage(window, IDS_ADD_FILES_CAPTION, MB_OK | MB_ICONWARNING, pattern, {name, folder});
}

void RefuseFile(HWND window, UINT patternId, const char16_t* name, const char16_t* folder) {
    ShowMessage(window, IDS_ADD_FILES_CAPTION, MB_OK | MB_ICONWARNING, patternId, {name, folder});
}

// The local time of the file's last write, "YYYY/MM/DD hh:mm". False when the file cannot be
// found.
bool ReadUpdateTime(const char16_t* fullPath, char16_t* out) {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(AsWide(fullPath), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return false;
    }
    FindClose(search);
    FILETIME local{};
    SYSTEMTIME time{};
    FileTimeToLocalFileTime(&found.ftLastWriteTime, &local);
    FileTimeToSystemTime(&local, &time);
    FormatUpdateTime(
        CalendarTime{time.wYear, time.wMonth, time.wDay, time.wHour, time.wMinute, time.wSecond},
        out, UPDATE_TIME_CHARS);
    return true;
}

// Every added file puts its small shell icon into the list's image list; each row shows the
// first one.
void AppendSmallIcon(const char16_t* fullPath) {
    SHFILEINFOW info{};
    if (SHGetFileInfoW(AsWide(fullPath), 0, &info, sizeof info, SHGFI_ICON | SHGFI_SMALLICON) &&
        info.hIcon != nullptr) {
        ImageList_ReplaceIcon(shell.smallIcons, -1, info.hIcon);
        DestroyIcon(info.hIcon);
    }
    SendMessageW(shell.fileList, LVM_SETIMAGELIST, LVSIL_SMALL,
                 reinterpret_cast<LPARAM>(shell.smallIcons));
}

// Adds the file `name` in `folder` as a row at `*index`, unless its path is too long for a
// job, its name is listed already (two outputs of one name would overwrite each other) or it
// cannot be found.
void AddFile(HWND window, const char16_t* folder, const char16_t* name, int* index) {
    if (!FitsJobFields(Utf16Length(folder), Utf16Length(name))) {
        RefuseFile(window, MessageText(MESSAGE_PATH_TOO_LONG), name, folder);
        return;
    }
    if (IsListedName(name)) {
        RefuseFile(window, MessageText(MESSAGE_DUPLICATE_NAME), name, folder);
        return;
    }
    // The row's folder and name give the path that Convert will use: read that file.
    char16_t fullPath[JOB_PATH_CHARS];
    char16_t updateTime[UPDATE_TIME_CHARS];
    if (!JoinPath(folder, u'\\', name, fullPath, JOB_PATH_CHARS) ||
        !ReadUpdateTime(fullPath, updateTime)) {
        RefuseFile(window, IDS_FILE_MISSING, name, folder);
        return;
    }
    AppendSmallIcon(fullPath);
    if (InsertFileRow(*index, name, updateTime, folder)) {
        ++*index;
    }
}

// The dialog's first string names one file.
void AddChosenPath(HWND window, const wchar_t* path, int* index) {
    CandidateFile candidate;
    if (!SplitPath(AsUtf16(path), u"\\", candidate.folder, LONGEST_PATH_CHARS, candidate.name,
                   LONGEST_PATH_CHARS)) {
        return;  // longer than any path the system has
    }
    UpperCaseExtension(candidate.name);
    AddFile(window, candidate.folder, candidate.name, index);
}

// The dialog's first string is the folder, the chosen names follow it.
void AddChosenNames(HWND window, wchar_t* result, int* index) {
    size_t folderLength = Utf16Length(AsUtf16(result));
    wchar_t* name = result + folderLength + 1;
    // A drive root comes with its "\": the row's location, like a dropped file's, has none.
    if (folderLength > 0 && result[folderLength - 1] == L'\\') {
        result[folderLength - 1] = 0;
    }
    while (*name != 0) {
        size_t nameLength = Utf16Length(AsUtf16(name));
        UpperCaseExtension(AsUtf16(name));
        AddFile(window, AsUtf16(result), AsUtf16(name), index);
        name += nameLength + 1;
    }
}

// Adds an open dialog's result as the dialog lays it out: one full path, or a folder followed
// by names, each ending with a NUL and the list with an empty name.
void AddChosenFiles(HWND window, wchar_t* result) {
    int index = CountRows();
    // A folder, or a first string that cannot be read (a typed name of a missing file), starts
    // a list of names.
    DWORD attributes = GetFileAttributesW(result);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        AddChosenPath(window, result, &index);
    } else {
        AddChosenNames(window, result, &index);
    }
    SetFocus(shell.fileList);
}

}  // namespace

void OnDropFiles(HWND window, HDROP drop) {
    UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    if (count > DROP_LIMIT) {
        ShowMessage(window, IDS_DROP_CAPTION, MB_OK | MB_ICONERROR, IDS_DROP_LIMIT, {},
                    {static_cast<int>(DROP_LIMIT)});
        DragFinish(drop);
        return;
    }
    int index = CountRows();
    wchar_t path[LONGEST_PATH_CHARS];
    CandidateFile candidate;
    for (UINT k = 0; k < count; ++k) {
        path[0] = 0;
        DragQueryFileW(drop, k, path, LONGEST_PATH_CHARS);
        UpperCaseExtension(AsUtf16(path));
        if (!HasEdlExtension(AsUtf16(path))) {
            ShowMessage(window, IDS_ADD_FILES_CAPTION, MB_OK | MB_ICONWARNING, IDS_NOT_EDL,
                        {AsUtf16(path)});
            break;  // the rest of the drop is not added
        }
        SplitPath(AsUtf16(path), u"\\", candidate.folder, LONGEST_PATH_CHARS, candidate.name,
                  LONGEST_PATH_CHARS);
        AddFile(window, candidate.folder, candidate.name, &index);
    }
    DragFinish(drop);
    SetFocus(shell.fileList);
}

void OpenFilesDialog(HWND window) {
    // The filter: its description and pattern, each ending with a NUL, and an empty entry.
    wchar_t filter[DIALOG_TEXT_CHARS] = {};
    size_t nameLength = LoadResourceText(IDS_OPEN_FILTER_NAME, filter, DIALOG_TEXT_CHARS / 2);
    LoadResourceText(IDS_OPEN_FILTER_PATTERN, filter + nameLength + 1, DIALOG_TEXT_CHARS / 2 - 2);
    wchar_t title[DIALOG_TEXT_CHARS];
    LoadResourceText(IDS_ADD_FILES_CAPTION, title, DIALOG_TEXT_CHARS);
    wchar_t extension[DIALOG_TEXT_CHARS];
    LoadResourceText(IDS_OPEN_DEFAULT_EXTENSION, extension, DIALOG_TEXT_CHARS);

    ZeroMemory(openResult, sizeof openResult);
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = window;
    dialog.lpstrFilter = filter;
    dialog.lpstrFile = openResult;
    dialog.nMaxFile = OPEN_RESULT_CHARS;
    dialog.lpstrTitle = title;
    dialog.Flags = OFN_EXPLORER | OFN_ALLOWMULTISELECT | OFN_HIDEREADONLY;
    dialog.lpstrDefExt = extension;
    if (!GetOpenFileNameW(&dialog)) {
        OnOpenDialogFailed(window, CommDlgExtendedError());
        return;
    }
    AddChosenFiles(window, openResult);
}

void OnOpenDialogFailed(HWND window, DWORD error) {
    if (error == FNERR_BUFFERTOOSMALL) {
        ShowMessage(window, IDS_ADD_FILES_CAPTION, MB_OK | MB_ICONWARNING, IDS_TOO_MANY_SELECTED);
    }
}
