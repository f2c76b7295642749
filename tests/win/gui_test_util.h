// Helpers of the Windows tests: a spy that records what the progress dialog's controls are
// told and every message box shown on the test thread (dismissing each), the stored position
// in the registry, temporary folders, sample EDL files, dropped files, and dialogs waited for
// from another thread. No GoogleTest here, so that the screenshot program can use them too.
#pragma once

#include <windows.h>

#include <shellapi.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// --- Text ----------------------------------------------------------------------------------------

std::wstring Wide(const char16_t* text);
std::string Utf8(const std::wstring& text);
std::wstring WindowText(HWND window);

// --- The spy -------------------------------------------------------------------------------------

enum class SpyEventKind {
    FILE_LABEL,      // WM_SETTEXT to the progress dialog's file label
    STATUS_LABEL,    // WM_SETTEXT to its status label
    PROGRESS_RANGE,  // PBM_SETRANGE to its progress bar (value: the range's lParam)
    PROGRESS_STEP,   // PBM_STEPIT to its progress bar
    CANCEL_CLICKED,  // BM_CLICK to its Cancel button
    MESSAGE_BOX,     // a message box, recorded when it is activated and then dismissed with OK
};

struct SpyEvent {
    SpyEventKind kind;
    std::wstring text;     // label text; the box's text
    std::wstring caption;  // the box's caption
    UINT icon;             // the box's icon: 0, MB_ICONWARNING, MB_ICONINFORMATION, ...
    bool ownerVisible;     // the box's owner was visible when the box came up
    bool fromOtherThread;  // sent by another thread (the worker) and waited for
    LPARAM value;
    HWND dialog;  // the progress dialog (or the box's owner)
};

// Called on the UI thread right after an event is recorded, inside the message that caused it
// (so a label event runs while the worker is blocked in its send).
using SpyAction = std::function<void(const SpyEvent& event)>;

// Starts recording on the calling thread: hooks window creation to watch the progress
// dialog's controls and message box activation. Only one spy at a time.
void StartSpy(SpyAction action = nullptr);
// Stops recording and gives what was recorded.
std::vector<SpyEvent> StopSpy();

// What one event looks like in a failure message.
std::string Describe(const SpyEvent& event);
std::string Describe(const std::vector<SpyEvent>& events);

// The icon of a message box, read from its icon control: 0 when it shows none.
UINT MessageBoxIcon(HWND box);
// Whether `window` is a message box: a standard dialog with a text control of id 0xFFFF and
// none of the program's own controls.
bool IsMessageBox(HWND window);

// --- The stored position -------------------------------------------------------------------------

// Remembers which of HKCU\Software\tamsel, ...\data and ...\data\Position exist and every
// value of the last (the position and the export settings), and puts everything back as it was
// when restored.
struct StoredValue {
    std::wstring name;
    DWORD type;
    std::vector<BYTE> bytes;
};
struct RegistrySnapshot {
    bool tamselKey;
    bool dataKey;
    bool positionKey;
    std::vector<StoredValue> values;
};
RegistrySnapshot TakeRegistrySnapshot();
void RestoreRegistrySnapshot(const RegistrySnapshot& snapshot);

// The value "Position": written as REG_BINARY, deleted with the export settings beside it (the
// window then opens at 0, 0 with the export off), read (false when there is none).
void WriteStoredRecord(const std::vector<BYTE>& bytes);
void DeleteStoredRecord();
bool ReadStoredRecord(std::vector<BYTE>* bytes);
std::vector<BYTE> RecordBytes(int32_t left, int32_t top, int32_t width, int32_t height);

// --- Files ---------------------------------------------------------------------------------------

// A new empty folder under the temporary folder, with a trailing backslash.
std::wstring MakeTemporaryFolder();
// Deletes the files of a folder made by MakeTemporaryFolder, then the folder.
void RemoveTemporaryFolder(const std::wstring& folder);
void WriteBytes(const std::wstring& path, const std::string& bytes);
std::string ReadBytes(const std::wstring& path);
bool FileExists(const std::wstring& path);
// Names of the files in `folder` whose name matches `pattern` ("*.tmp").
std::vector<std::wstring> FilesMatching(const std::wstring& folder, const wchar_t* pattern);

// Sets a file's last write to this local time.
void SetLocalWriteTime(const std::wstring& path, WORD year, WORD month, WORD day, WORD hour,
                       WORD minute);

// A drop of these paths, as the shell hands it to a window with WM_DROPFILES; the window's
// handler releases it.
HDROP MakeDrop(const std::vector<std::wstring>& paths);

// Sample edit lists, as plain text with CR LF line ends.
std::string SampleEdl(const char* title, int events);
std::string CmxEdl();
std::string EdlWithoutEvents();

// --- The process -------------------------------------------------------------------------------

// Threads of this process.
int CountProcessThreads();
// Removes every message waiting for this thread, the quit message included.
void DrainMessages();

// Loads the shell's texts and registers the main window's class, once per process, as the
// program's start-up does; returns the instance the windows are created with, or null when
// the class cannot be registered.
HINSTANCE PrepareMainWindowClass();
// Handles messages for `milliseconds`.
void PumpMessagesFor(DWORD milliseconds);

// The bound of every wait: generous, only for a test that waits in vain not to wait for ever.
constexpr DWORD TEST_WAIT_MILLISECONDS = 60000;

// Waits until `done` holds, up to `milliseconds`; true when it did. The condition is looked at
// again whenever input comes for the thread, and every few milliseconds.
bool WaitUntil(const std::function<bool()>& done, DWORD milliseconds = TEST_WAIT_MILLISECONDS);

// Waits until a menu that a thread tracks is on screen; null when none came.
HWND WaitForPopupMenu();

// Waits on the calling thread (not the one that shows it) until a visible dialog of this process
// that `matches` is on screen, up to `milliseconds`; null when none came.
HWND WaitForDialog(const std::function<bool(HWND)>& matches,
                   DWORD milliseconds = TEST_WAIT_MILLISECONDS);
// The first child of `window` (at any depth) of this class, or null.
HWND FindChildOfClass(HWND window, const wchar_t* className);
