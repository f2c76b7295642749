// The thin platform layer under the engine and the job: files by UTF-16 path, code page 932,
// local time, and the thread, event and lock of a job. One portable interface, implemented
// once for POSIX (platform_posix.cpp) and once for Windows (platform_win.cpp).
#pragma once

#include <cstddef>
#include <cstdint>

#include "text.h"

// --- Files -----------------------------------------------------------------------------------

struct PlatformFile;

// Opens a regular file for binary reading, with its size as it was when opened. Anything else
// (a folder, a FIFO, a device, a socket) is refused at once, without waiting for a writer or
// reading a byte: null when the path cannot be opened or is not a regular file.
PlatformFile* OpenFileForReading(const char16_t* path, uint64_t* size);
// Reads up to `count` bytes; the number read, 0 at the end, -1 on a read error.
long ReadFromFile(PlatformFile* file, uint8_t* into, size_t count);
bool RewindFile(PlatformFile* file);
void CloseFile(PlatformFile* file);

// Writes `count` bytes as the file at `path`, replacing a file of that name only once the
// whole text is written, flushed and closed: first into a new file of a short name of its own
// (".tamsel-<number>.tmp") in the same folder, then renamed over it. On any failure the new
// file is removed and an earlier file of that name stays as it was. True on success.
bool WriteFileReplacing(const char16_t* path, const uint8_t* bytes, size_t count);

// Whether `folder` (empty: the current folder) is a folder that files can be written into.
bool IsUsableFolder(const char16_t* folder);

// Whether a file called `name` fits in `folder` (empty: the current folder): the length of a
// name the folder's file system takes (255 bytes on Linux, 255 UTF-16 units on Windows).
bool FileNameFits(const char16_t* folder, const char16_t* name);

// What tells two files (or folders) apart whatever path reaches them (a link, "..", another
// spelling): the device and inode on POSIX, the volume serial and file index on Windows.
struct FileIdentity {
    uint64_t volume;
    uint64_t index;
};
// The identity of the file or folder `path` leads to, links followed; false when nothing is
// there or it cannot be read.
bool GetFileIdentity(const char16_t* path, FileIdentity* identity);
// The identity of `folder` (empty: the current folder); false when it cannot be read or is no
// folder.
bool GetFolderIdentity(const char16_t* folder, FileIdentity* identity);

// Turns a file name into the form in which this platform's file system compares names: as it
// stands on POSIX, where letter case counts; on Windows every unit upper-cased by the system's
// table, the ordinal comparison with case ignored that Windows uses for file names. The length
// does not change.
void FoldFileName(char16_t* name);

// Calls `add` with the name of every entry directly in `folder` but "." and "..", in no order:
// files, folders, links (also those that lead nowhere) and anything else, so that the caller can
// name what it cannot take. False when the folder cannot be read.
bool ListFolderNames(const char16_t* folder, void (*add)(void* context, const char16_t* name),
                     void* context);

// The longest path this platform opens, in bytes of a text line that names it (UTF-8, or on
// Windows also the ANSI code page): a longer line cannot name a file.
extern const size_t LONGEST_PATH_BYTES;

// A line of a name list (NUL-terminated bytes, line end removed) as a path. On POSIX a name is
// bytes: UTF-8 where it is valid, other bytes kept as raw units (see BytesToUtf16). On Windows
// a line that is valid UTF-8 is read as UTF-8, any other in the ANSI code page (a list that
// "dir /b" wrote). False, with `out` empty, when it does not fit `capacity`.
bool NameLineToUtf16(const char* line, char16_t* out, size_t capacity);

// The separator this platform puts between a folder and a name, and every unit that separates
// the two in a path ("/" on POSIX; "\" and "/" on Windows), the one it puts first.
extern const char16_t PATH_SEPARATOR;
extern const char16_t PATH_SEPARATORS[];

// --- Memory ----------------------------------------------------------------------------------

// Tells the system that the block of `size` bytes at `block` is one large buffer, filled from
// its start: where the system has large pages (Linux), it backs the block with them, so that a
// buffer of megabytes costs a few page faults rather than thousands. Changes nothing else.
void AdviseLargeBlock(void* block, size_t size);

// --- Text ------------------------------------------------------------------------------------

// Converts to code page 932 (Shift-JIS as Japanese Windows has it) into at most capacity - 1
// bytes, terminated; stops before a character that would not fit, so no double-byte character
// is split. A character that does not convert to code page 932 and back to itself becomes "?".
// Returns the number of bytes written.
size_t ConvertToCodePage932(const char16_t* text, char* out, size_t capacity);

// Converts `length` bytes of code page 932 text to UTF-8 into `out` (terminated), at most
// capacity - 1 bytes (3 * length + 1 always suffice); a byte that starts no character of code
// page 932, or a pair that is none, becomes "?". Returns the length written.
size_t ConvertFromCodePage932(const uint8_t* bytes, size_t length, char* out, size_t capacity);

// --- Time ------------------------------------------------------------------------------------

// The local time of `epochSeconds` (seconds since 1970-01-01 UTC), with the time-zone rules
// of that date.
CalendarTime LocalTimeAt(int64_t epochSeconds);
// The local time now.
CalendarTime LocalTimeNow();

// --- Threads ---------------------------------------------------------------------------------

struct PlatformThread;
struct PlatformEvent;
struct PlatformLock;

// Starts a thread running `procedure(argument)`; null when it cannot be started.
PlatformThread* StartThread(unsigned (*procedure)(void*), void* argument);
// Waits until the thread has ended and releases it.
void JoinThread(PlatformThread* thread);
// The system's handle of the thread (a HANDLE on Windows), for waits that also pump messages.
void* ThreadNativeHandle(PlatformThread* thread);

// An auto-reset event, created not signalled: a wait consumes one signal. It has no name, so no
// other job or process can signal or consume it.
PlatformEvent* CreateAutoResetEvent();
void SignalEvent(PlatformEvent* event);
void WaitForEvent(PlatformEvent* event);
void CloseEvent(PlatformEvent* event);

PlatformLock* CreateLock();
void EnterLock(PlatformLock* lock);
void LeaveLock(PlatformLock* lock);
void DestroyLock(PlatformLock* lock);

// --- Fault injection (tests only) --------------------------------------------------------------

// Makes the chosen file operations fail, to prove that every failure is handled. Byte counts
// are taken from the moment the faults are set; a default-constructed value fails nothing.
struct FileFaults {
    bool failRead;  // reads fail once readBytesBeforeFailure bytes were read
    size_t readBytesBeforeFailure;
    bool failWrite;                  // writes fail once writeBytesBeforeFailure bytes were written
    size_t writeBytesBeforeFailure;  // (a full disk)
    bool failCreate;                 // the new output file cannot be created
    bool failFlush;
    bool failClose;
    bool failRename;
};
void SetFileFaults(const FileFaults& faults);

// Makes every StartThread fail while set, to prove that a job that cannot start says so.
void SetThreadStartFailure(bool fail);
