#include "add_files.h"

#include <commctrl.h>
#include <commdlg.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "add_files_rules.h"
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

// A file (or folder) in hand while it is added. Each part can hold a whole path, so that a file
// refused for its length is still named in full.
struct CandidateFile {
    char16_t folder[LONGEST_PATH_CHARS];
    char16_t name[LONGEST_PATH_CHARS];
};

// The open dialog's result: a process-wide buffer, as the dialog is modal and one at a time.
wchar_t openResult[OPEN_RESULT_CHARS];

// The batch in hand: a drop, or the files chosen in the open dialog. One at a time, on the
// user-interface thread, so these live in static storage.
AddBatch batch;
CandidateFile candidate;
// The first file the batch refused, named in full: when it is the only one, its own message
// says where it lies.
AddRefusal firstReason;
CandidateFile firstRefused;
char16_t messageText[REFUSAL_MESSAGE_CHARS];
char16_t longPath[LONGEST_PATH_CHARS];

// For each refusal: the message that names one refused file (from the string table, or for the
// refusals the command line makes too, from the shared table), and the short reason its line
// shows when several are listed.
constexpr UINT SHARED_MESSAGE = 0;
struct RefusalMessage {
    UINT single;
    MessageId shared;
    UINT reason;
};
constexpr RefusalMessage REFUSAL_MESSAGES[ADD_REFUSAL_KINDS] = {
    {IDS_NOT_EDL, MESSAGE_COUNT_OF_IDS, IDS_REASON_NOT_EDL},
    {SHARED_MESSAGE, MESSAGE_DUPLICATE_NAME, IDS_REASON_DUPLICATE_NAME},
    {SHARED_MESSAGE, MESSAGE_PATH_TOO_LONG, IDS_REASON_PATH_TOO_LONG},
    {IDS_FILE_MISSING, MESSAGE_COUNT_OF_IDS, IDS_REASON_FILE_MISSING},
    {IDS_NO_EDL_IN_FOLDER, MESSAGE_COUNT_OF_IDS, IDS_REASON_NO_EDL_IN_FOLDER},
};

void CopyWhole(char16_t* field, const char16_t* text) {
    size_t length = std::min(Utf16Length(text), LONGEST_PATH_CHARS - 1);
    std::copy(text, text + length, field);
    field[length] = 0;
}

void Refuse(AddRefusal reason, const char16_t* folder, const char16_t* name) {
    if (batch.refusals.count == 0) {
        firstReason = reason;
        CopyWhole(firstRefused.folder, folder);
        CopyWhole(firstRefused.name, name);
    }
    NoteRefusal(&batch.refusals, reason, name);
}

// One refused file: its own message, naming it and its folder, or for a file that is no EDL
// file and a folder without one, the whole path.
void ShowOneRefusal(HWND window) {
    const RefusalMessage& message = REFUSAL_MESSAGES[firstReason];
    wchar_t loaded[DIALOG_TEXT_CHARS];
    if (message.single != SHARED_MESSAGE) {
        LoadResourceText(message.single, loaded, DIALOG_TEXT_CHARS);
    }
    const char16_t* pattern =
        message.single != SHARED_MESSAGE ? AsUtf16(loaded) : MessageText(message.shared);
    if (firstReason == REFUSAL_NOT_EDL || firstReason == REFUSAL_NO_EDL_IN_FOLDER) {
        JoinPath(firstRefused.folder, u'\\', firstRefused.name, longPath, LONGEST_PATH_CHARS);
        ShowMessage(window, IDS_ADD_FILES_CAPTION, MB_OK | MB_ICONWARNING, pattern, {longPath});
    } else {
        ShowMessage(window, IDS_ADD_FILES_CAPTION, MB_OK | MB_ICONWARNING, pattern,
                    {firstRefused.name, firstRefused.folder});
    }
}

// Several refused files: one message that names them, a line each.
void ShowRefusalList(HWND window) {
    wchar_t heading[DIALOG_TEXT_CHARS];
    wchar_t line[DIALOG_TEXT_CHARS];
    wchar_t more[DIALOG_TEXT_CHARS];
    wchar_t reasons[ADD_REFUSAL_KINDS][DIALOG_TEXT_CHARS];
    LoadResourceText(IDS_REFUSED_HEADING, heading, DIALOG_TEXT_CHARS);
    LoadResourceText(IDS_REFUSED_LINE, line, DIALOG_TEXT_CHARS);
    LoadResourceText(IDS_REFUSED_MORE, more, DIALOG_TEXT_CHARS);
    RefusalTexts texts{AsUtf16(heading), AsUtf16(line), {}, AsUtf16(more)};
    for (int k = 0; k < ADD_REFUSAL_KINDS; ++k) {
        LoadResourceText(REFUSAL_MESSAGES[k].reason, reasons[k], DIALOG_TEXT_CHARS);
        texts.reasons[k] = AsUtf16(reasons[k]);
    }
    FormatRefusalList(&batch.refusals, &texts, messageText, REFUSAL_MESSAGE_CHARS);
    ShowMessage(window, IDS_ADD_FILES_CAPTION, MB_OK | MB_ICONWARNING, u"%s", {messageText});
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

// Every row shows the small shell icon of the first file added in this run, read once.
void TakeFileIcon(const char16_t* fullPath) {
    if (shell.fileImage >= 0) {
        return;
    }
    SHFILEINFOW info{};
    if (SHGetFileInfoW(AsWide(fullPath), 0, &info, sizeof info, SHGFI_ICON | SHGFI_SMALLICON) &&
        info.hIcon != nullptr) {
        shell.fileImage = ImageList_ReplaceIcon(shell.smallIcons, -1, info.hIcon);
        DestroyIcon(info.hIcon);
    }
}

// Adds the file `name` in `folder` as a row at the end of the list, unless it is listed already,
// its path is too long for a job, its name is listed from another folder (two outputs of one
// name would overwrite each other) or it cannot be found.
void AddFile(const char16_t* folder, const char16_t* name) {
    CandidateCheck check = CheckCandidate(&batch, folder, name);
    if (check.decision == ADD_ALREADY_LISTED) {
        return;
    }
    if (check.decision == ADD_REFUSED) {
        Refuse(check.refusal, folder, name);
        return;
    }
    // The row's folder and name give the path that Convert will use: read that file.
    char16_t fullPath[JOB_PATH_CHARS];
    char16_t updateTime[UPDATE_TIME_CHARS];
    if (!JoinPath(folder, u'\\', name, fullPath, JOB_PATH_CHARS) ||
        !ReadUpdateTime(fullPath, updateTime)) {
        Refuse(REFUSAL_FILE_MISSING, folder, name);
        return;
    }
    TakeFileIcon(fullPath);
    if (InsertFileRow(batch.rowCount, name, updateTime, folder)) {
        NoteAddedRow(&batch, name, folder);
    }
}

// A file the user named (dropped, or chosen in the open dialog): an EDL file is listed with its
// extension upper-cased; any other file is refused, named as the user named it.
void AddNamedFile(const char16_t* folder, char16_t* name) {
    if (!IsEdlFileName(name)) {
        Refuse(REFUSAL_NOT_EDL, folder, name);
        return;
    }
    UpperCaseExtension(name);
    AddFile(folder, name);
}

bool ComesBefore(const std::u16string& first, const std::u16string& second) {
    return lstrcmpW(AsWide(first.c_str()), AsWide(second.c_str())) < 0;
}

// The EDL files directly inside `folder` (its path without a trailing "\"), their extensions
// upper-cased, in the order of their names. A file that is the output of another one there
// ("C_A.EDL" beside "A.EDL", left by an earlier run into this folder) is no source and is left
// out.
std::vector<std::u16string> EdlFilesIn(const char16_t* folder) {
    std::vector<std::u16string> files;
    std::vector<std::u16string> names;
    if (!JoinPath(folder, u'\\', u"*", longPath, LONGEST_PATH_CHARS)) {
        return names;
    }
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(AsWide(longPath), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return names;
    }
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
            files.emplace_back(AsUtf16(found.cFileName));
        }
    } while (FindNextFileW(search, &found));
    FindClose(search);
    std::vector<const char16_t*> pointers;
    for (const std::u16string& file : files) {
        pointers.push_back(file.c_str());
    }
    std::unique_ptr<bool[]> isOutput(new bool[files.size() + 1]());
    MarkSiblingOutputs(pointers.data(), files.size(), FoldFileName, isOutput.get());
    for (size_t k = 0; k < files.size(); ++k) {
        std::u16string name = files[k];
        UpperCaseExtension(name.data());
        if (!isOutput[k] && HasEdlExtension(name.c_str())) {
            names.push_back(name);
        }
    }
    std::sort(names.begin(), names.end(), ComesBefore);
    return names;
}

// A dropped folder adds the EDL files directly inside it; anything else in it (other files,
// folders) is left alone. A folder without any is refused.
void AddFolder(wchar_t* path) {
    size_t length = Utf16Length(AsUtf16(path));
    // A drive's root comes with its "\": the rows' location, like a dropped file's, has none.
    while (length > 0 && path[length - 1] == L'\\') {
        path[--length] = 0;
    }
    std::vector<std::u16string> names = EdlFilesIn(AsUtf16(path));
    if (names.empty()) {
        SplitPath(AsUtf16(path), u"\\", candidate.folder, LONGEST_PATH_CHARS, candidate.name,
                  LONGEST_PATH_CHARS);
        Refuse(REFUSAL_NO_EDL_IN_FOLDER, candidate.folder, candidate.name);
        return;
    }
    for (const std::u16string& name : names) {
        AddFile(AsUtf16(path), name.c_str());
    }
}

// One dropped path: a folder, or a file.
void AddDroppedPath(wchar_t* path) {
    DWORD attributes = GetFileAttributesW(path);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        AddFolder(path);
        return;
    }
    // The extension is that of the name: a dot in a folder's name does not make a file without
    // one an EDL file.
    SplitPath(AsUtf16(path), u"\\", candidate.folder, LONGEST_PATH_CHARS, candidate.name,
              LONGEST_PATH_CHARS);
    AddNamedFile(candidate.folder, candidate.name);
}

// The dialog's first string names one file.
void AddChosenPath(const wchar_t* path) {
    if (!SplitPath(AsUtf16(path), u"\\", candidate.folder, LONGEST_PATH_CHARS, candidate.name,
                   LONGEST_PATH_CHARS)) {
        return;  // longer than any path the system has
    }
    AddNamedFile(candidate.folder, candidate.name);
}

// The dialog's first string is the folder, the chosen names follow it.
void AddChosenNames(wchar_t* result) {
    size_t folderLength = Utf16Length(AsUtf16(result));
    wchar_t* name = result + folderLength + 1;
    // A drive root comes with its "\": the row's location, like a dropped file's, has none.
    if (folderLength > 0 && result[folderLength - 1] == L'\\') {
        result[folderLength - 1] = 0;
    }
    while (*name != 0) {
        size_t nameLength = Utf16Length(AsUtf16(name));
        AddNamedFile(AsUtf16(result), AsUtf16(name));
        name += nameLength + 1;
    }
}

void StartBatch() {
    BeginAddingFiles(&batch);
}

// Shows the counts once, tells which files were not added (each in its own words when it is the
// only one, else in one list) and gives the focus to the list.
void FinishBatch(HWND window) {
    EndAddingFiles(&batch);
    if (batch.refusals.count == 1) {
        ShowOneRefusal(window);
    } else if (batch.refusals.count > 1) {
        ShowRefusalList(window);
    }
    SetFocus(shell.fileList);
}

// Adds an open dialog's result as the dialog lays it out: one full path, or a folder followed
// by names, each ending with a NUL and the list with an empty name.
void AddChosenFiles(HWND window, wchar_t* result) {
    StartBatch();
    // A folder, or a first string that cannot be read (a typed name of a missing file), starts
    // a list of names.
    DWORD attributes = GetFileAttributesW(result);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        AddChosenPath(result);
    } else {
        AddChosenNames(result);
    }
    FinishBatch(window);
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
    static wchar_t path[LONGEST_PATH_CHARS];
    StartBatch();
    for (UINT k = 0; k < count; ++k) {
        path[0] = 0;
        DragQueryFileW(drop, k, path, LONGEST_PATH_CHARS);
        AddDroppedPath(path);
    }
    DragFinish(drop);
    FinishBatch(window);
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
