// Windows side of the platform layer: UTF-16 paths, code page 932 through the system's tables,
// local time with the time-zone rules of the date, and the C runtime's threads.
#include <process.h>
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <new>

#include "platform_common.h"

const char16_t PATH_SEPARATOR = u'\\';
const char16_t PATH_SEPARATORS[] = u"\\/";

namespace {

// A folder as the job holds it: empty is the current folder.
const wchar_t* WideFolder(const char16_t* folder) {
    return folder[0] == 0 ? L"." : reinterpret_cast<const wchar_t*>(folder);
}

const wchar_t* Wide(const char16_t* text) {
    return reinterpret_cast<const wchar_t*>(text);
}

bool WriteAll(HANDLE file, const uint8_t* bytes, size_t count) {
    while (count > 0) {
        size_t allowed = AllowedWrite(count > 0x10000000 ? 0x10000000 : count);
        if (allowed == 0) {
            SetLastError(ERROR_DISK_FULL);
            return false;
        }
        DWORD written = 0;
        if (!WriteFile(file, bytes, static_cast<DWORD>(allowed), &written, nullptr) ||
            written == 0) {
            return false;
        }
        CountWritten(written);
        bytes += written;
        count -= written;
    }
    return true;
}

// Puts the written file in place of the output. Another program (a virus scanner, a sync
// tool, the shell's desktop window) may hold the file of that name open for a moment, so a
// sharing or access error is tried again for about a second before the write counts as failed.
bool MoveIntoPlace(const wchar_t* from, const wchar_t* to) {
    constexpr int ATTEMPTS = 20;
    constexpr DWORD PAUSE_MILLISECONDS = 50;
    for (int attempt = 1;; ++attempt) {
        if (MoveFileExW(from, to, MOVEFILE_REPLACE_EXISTING)) {
            return true;
        }
        DWORD error = GetLastError();
        bool passing = error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED ||
                       error == ERROR_LOCK_VIOLATION;
        if (!passing || attempt == ATTEMPTS) {
            return false;
        }
        Sleep(PAUSE_MILLISECONDS);
    }
}

}  // namespace

struct PlatformFile {
    HANDLE handle;
};

PlatformFile* OpenFileForReading(const char16_t* path, uint64_t* size) {
    HANDLE handle = CreateFileW(Wide(path), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return nullptr;
    }
    // Only a file on a disk: a pipe, a console or another device could make a read wait.
    BY_HANDLE_FILE_INFORMATION information{};
    LARGE_INTEGER fileSize{};
    if (GetFileType(handle) != FILE_TYPE_DISK ||
        !GetFileInformationByHandle(handle, &information) ||
        (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ||
        !GetFileSizeEx(handle, &fileSize)) {
        CloseHandle(handle);
        return nullptr;
    }
    auto* file = new (std::nothrow) PlatformFile{handle};
    if (file == nullptr) {
        CloseHandle(handle);
        return nullptr;
    }
    *size = static_cast<uint64_t>(fileSize.QuadPart);
    return file;
}

long ReadFromFile(PlatformFile* file, uint8_t* into, size_t count) {
    long allowed = AllowedRead(count > 0x10000000 ? 0x10000000 : count);
    if (allowed < 0) {
        return -1;
    }
    DWORD got = 0;
    if (!ReadFile(file->handle, into, static_cast<DWORD>(allowed), &got, nullptr)) {
        return -1;
    }
    CountRead(got);
    return static_cast<long>(got);
}

bool RewindFile(PlatformFile* file) {
    LARGE_INTEGER zero{};
    return SetFilePointerEx(file->handle, zero, nullptr, FILE_BEGIN) != 0;
}

void CloseFile(PlatformFile* file) {
    if (file != nullptr) {
        CloseHandle(file->handle);
        delete file;
    }
}

bool WriteFileReplacing(const char16_t* path, const uint8_t* bytes, size_t count) {
    // The new file goes into the output's folder under a short name of its own.
    size_t pathLength = std::wcslen(Wide(path));
    size_t folderLength = pathLength;
    while (folderLength > 0 && path[folderLength - 1] != u'\\' && path[folderLength - 1] != u'/') {
        --folderLength;
    }
    size_t temporarySize = folderLength + TEMPORARY_NAME_SIZE;
    auto* temporary = static_cast<wchar_t*>(std::malloc(temporarySize * sizeof(wchar_t)));
    if (temporary == nullptr) {
        return false;
    }
    std::wmemcpy(temporary, Wide(path), folderLength);
    HANDLE handle = INVALID_HANDLE_VALUE;
    if (!ActiveFileFaults().failCreate) {
        for (int attempt = 0; attempt < 100 && handle == INVALID_HANDLE_VALUE; ++attempt) {
            char name[TEMPORARY_NAME_SIZE];
            MakeTemporaryName(GetCurrentProcessId(), name);
            size_t k = 0;
            for (; name[k] != 0; ++k) {
                temporary[folderLength + k] = static_cast<wchar_t>(name[k]);
            }
            temporary[folderLength + k] = 0;
            handle = CreateFileW(temporary, GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
            if (handle == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS) {
                break;
            }
        }
    }
    bool done = false;
    if (handle != INVALID_HANDLE_VALUE) {
        bool written = WriteAll(handle, bytes, count);
        bool flushed = written && !ActiveFileFaults().failFlush && FlushFileBuffers(handle);
        bool closed = CloseHandle(handle) && !ActiveFileFaults().failClose;
        done = flushed && closed && !ActiveFileFaults().failRename &&
               MoveIntoPlace(temporary, Wide(path));
        if (!done) {
            DeleteFileW(temporary);
        }
    }
    std::free(temporary);
    return done;
}

// Large pages on Windows need a privilege that ordinary users lack: nothing to advise.
void AdviseLargeBlock(void*, size_t) {}

bool IsUsableFolder(const char16_t* folder) {
    DWORD attributes = GetFileAttributesW(WideFolder(folder));
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool FileNameFits(const char16_t*, const char16_t* name) {
    constexpr size_t LONGEST_NAME_UNITS = 255;  // NTFS, FAT32 and exFAT alike
    return Utf16Length(name) <= LONGEST_NAME_UNITS;
}

namespace {

// The identity of what `path` leads to, links followed; `folderOnly` refuses anything but a
// folder. A folder opens only with backup semantics; reading its attributes needs no other
// right.
bool IdentityOf(const wchar_t* path, bool folderOnly, FileIdentity* identity) {
    HANDLE handle = CreateFileW(path, FILE_READ_ATTRIBUTES,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return false;
    }
    BY_HANDLE_FILE_INFORMATION information{};
    bool found = GetFileInformationByHandle(handle, &information) &&
                 (!folderOnly || (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0);
    CloseHandle(handle);
    if (found) {
        *identity = FileIdentity{
            information.dwVolumeSerialNumber,
            (static_cast<uint64_t>(information.nFileIndexHigh) << 32) | information.nFileIndexLow};
    }
    return found;
}

}  // namespace

bool GetFileIdentity(const char16_t* path, FileIdentity* identity) {
    return IdentityOf(Wide(path), false, identity);
}

bool GetFolderIdentity(const char16_t* folder, FileIdentity* identity) {
    return IdentityOf(WideFolder(folder), true, identity);
}

void FoldFileName(char16_t* name) {
    int length = static_cast<int>(Utf16Length(name));
    if (length == 0) {
        return;
    }
    auto* upper = static_cast<wchar_t*>(std::malloc(static_cast<size_t>(length) * sizeof(wchar_t)));
    // The invariant upper-casing is the table CompareStringOrdinal ignores case by.
    if (upper != nullptr && LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, Wide(name),
                                          length, upper, length, nullptr, nullptr, 0) == length) {
        std::wmemcpy(reinterpret_cast<wchar_t*>(name), upper, static_cast<size_t>(length));
    }
    std::free(upper);
}

bool ListFolderNames(const char16_t* folder, void (*add)(void* context, const char16_t* name),
                     void* context) {
    const wchar_t* wide = WideFolder(folder);
    size_t length = std::wcslen(wide);
    auto* pattern = static_cast<wchar_t*>(std::malloc((length + 3) * sizeof(wchar_t)));
    if (pattern == nullptr) {
        return false;
    }
    std::wmemcpy(pattern, wide, length);
    size_t at = length;
    if (at > 0 && pattern[at - 1] != L'\\' && pattern[at - 1] != L'/') {
        pattern[at++] = L'\\';
    }
    pattern[at++] = L'*';
    pattern[at] = 0;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(pattern, &found);
    std::free(pattern);
    if (search == INVALID_HANDLE_VALUE) {
        return GetLastError() == ERROR_FILE_NOT_FOUND;
    }
    do {
        if (std::wcscmp(found.cFileName, L".") != 0 && std::wcscmp(found.cFileName, L"..") != 0) {
            add(context, reinterpret_cast<const char16_t*>(found.cFileName));
        }
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return true;
}

// Code page 932 through the system's own table: no state to keep.
struct CodePage932Decoder {};

CodePage932Decoder* OpenCodePage932Decoder() {
    static CodePage932Decoder table;
    return &table;
}

bool DecodeCodePage932Character(CodePage932Decoder*, const uint8_t* bytes, size_t length,
                                char16_t* unit) {
    wchar_t converted[2];
    if (MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, reinterpret_cast<const char*>(bytes),
                            static_cast<int>(length), converted, 2) != 1) {
        return false;
    }
    *unit = static_cast<char16_t>(converted[0]);
    return true;
}

void CloseCodePage932Decoder(CodePage932Decoder*) {}

// The longest path Windows opens is 32767 units, each at most three bytes of UTF-8.
const size_t LONGEST_PATH_BYTES = 32767 * 3;

bool NameLineToUtf16(const char* line, char16_t* out, size_t capacity) {
    if (capacity == 0) {
        return false;
    }
    if (IsUtf8(line)) {
        return BytesToUtf16(line, out, capacity);
    }
    // Bytes the ANSI code page does not hold either become its default character: such a name
    // names no file, and opening it says so.
    int size = static_cast<int>(capacity > 0x7FFFFFFF ? 0x7FFFFFFF : capacity);
    int written = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, line, -1,
                                      reinterpret_cast<wchar_t*>(out), size);
    if (written == 0) {
        written = MultiByteToWideChar(CP_ACP, 0, line, -1, reinterpret_cast<wchar_t*>(out), size);
    }
    if (written == 0) {
        out[0] = 0;
    }
    return written != 0;
}

size_t ConvertCharactersToCodePage932(const char16_t* text, char* out, size_t capacity) {
    if (capacity == 0) {
        return 0;
    }
    size_t length = 0;
    size_t at = 0;
    while (text[at] != 0) {
        wchar_t unit = static_cast<wchar_t>(text[at++]);
        char converted[8];
        int convertedLength = 0;
        if (unit >= 0xD800 && unit <= 0xDFFF) {
            // Code page 932 holds nothing outside the basic plane: the pair is one "?".
            if (unit <= 0xDBFF && text[at] >= 0xDC00 && text[at] <= 0xDFFF) {
                ++at;
            }
        } else {
            BOOL usedDefault = FALSE;
            convertedLength = WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, &unit, 1, converted,
                                                  sizeof converted, nullptr, &usedDefault);
            wchar_t back[4];
            // Held only when it converts back to the same character.
            if (usedDefault || convertedLength <= 0 ||
                MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, converted, convertedLength, back,
                                    4) != 1 ||
                back[0] != unit) {
                convertedLength = 0;
            }
        }
        if (convertedLength == 0) {
            converted[0] = '?';
            convertedLength = 1;
        }
        if (length + static_cast<size_t>(convertedLength) > capacity - 1) {
            break;
        }
        std::memcpy(out + length, converted, static_cast<size_t>(convertedLength));
        length += static_cast<size_t>(convertedLength);
    }
    out[length] = 0;
    return length;
}

CalendarTime LocalTimeAt(int64_t epochSeconds) {
    // Seconds since 1970 to the 100-ns ticks since 1601 of a FILETIME.
    uint64_t ticks = static_cast<uint64_t>(epochSeconds + 11644473600LL) * 10000000ULL;
    FILETIME utc{static_cast<DWORD>(ticks & 0xFFFFFFFF), static_cast<DWORD>(ticks >> 32)};
    SYSTEMTIME universal{};
    SYSTEMTIME local{};
    FileTimeToSystemTime(&utc, &universal);
    SystemTimeToTzSpecificLocalTime(nullptr, &universal, &local);
    return CalendarTime{local.wYear, local.wMonth,  local.wDay,
                        local.wHour, local.wMinute, local.wSecond};
}

struct PlatformThread {
    HANDLE handle;
};

PlatformThread* StartThread(unsigned (*procedure)(void*), void* argument) {
    auto* thread = ThreadStartFails() ? nullptr : new (std::nothrow) PlatformThread{};
    if (thread == nullptr) {
        return nullptr;
    }
    uintptr_t handle = _beginthreadex(
        nullptr, 0,
        reinterpret_cast<_beginthreadex_proc_type>(reinterpret_cast<void (*)()>(procedure)),
        argument, 0, nullptr);
    if (handle == 0) {
        delete thread;
        return nullptr;
    }
    thread->handle = reinterpret_cast<HANDLE>(handle);
    return thread;
}

void JoinThread(PlatformThread* thread) {
    if (thread != nullptr) {
        WaitForSingleObject(thread->handle, INFINITE);
        CloseHandle(thread->handle);
        delete thread;
    }
}

void* ThreadNativeHandle(PlatformThread* thread) {
    return thread->handle;
}

struct PlatformEvent {
    HANDLE handle;
};

PlatformEvent* CreateAutoResetEvent() {
    HANDLE handle = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    if (handle == nullptr) {
        return nullptr;
    }
    auto* event = new (std::nothrow) PlatformEvent{handle};
    if (event == nullptr) {
        CloseHandle(handle);
    }
    return event;
}

void SignalEvent(PlatformEvent* event) {
    SetEvent(event->handle);
}
void WaitForEvent(PlatformEvent* event) {
    WaitForSingleObject(event->handle, INFINITE);
}

void CloseEvent(PlatformEvent* event) {
    if (event != nullptr) {
        CloseHandle(event->handle);
        delete event;
    }
}

struct PlatformLock {
    CRITICAL_SECTION section;
};

PlatformLock* CreateLock() {
    auto* lock = new (std::nothrow) PlatformLock{};
    if (lock != nullptr) {
        InitializeCriticalSection(&lock->section);
    }
    return lock;
}

void EnterLock(PlatformLock* lock) {
    EnterCriticalSection(&lock->section);
}
void LeaveLock(PlatformLock* lock) {
    LeaveCriticalSection(&lock->section);
}

void DestroyLock(PlatformLock* lock) {
    if (lock != nullptr) {
        DeleteCriticalSection(&lock->section);
        delete lock;
    }
}
