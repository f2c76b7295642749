// POSIX side of the platform layer (Linux): UTF-8 paths, iconv, localtime_r and pthreads.
#include <dirent.h>
#include <fcntl.h>
#include <iconv.h>
#include <pthread.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <new>

#include "platform_common.h"

const char16_t PATH_SEPARATOR = u'/';
const char16_t PATH_SEPARATORS[] = u"/";

namespace {

// A UTF-8 copy of a UTF-16 path, on the heap (paths may be longer than any fixed buffer).
char* NativePath(const char16_t* path) {
    size_t size = Utf8Length(path) + 1;
    char* native = static_cast<char*>(std::malloc(size));
    if (native != nullptr && !Utf16ToUtf8(path, native, size)) {
        std::free(native);
        native = nullptr;
    }
    return native;
}

// A native folder path for a folder as the job holds it: empty is the current folder.
char* NativeFolder(const char16_t* folder) {
    return NativePath(folder[0] == 0 ? u"." : folder);
}

bool WriteAll(int fd, const uint8_t* bytes, size_t count) {
    while (count > 0) {
        size_t chunk = AllowedWrite(count);
        if (chunk == 0) {
            errno = ENOSPC;
            return false;
        }
        ssize_t written = write(fd, bytes, chunk);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        CountWritten(static_cast<size_t>(written));
        bytes += written;
        count -= static_cast<size_t>(written);
    }
    return true;
}

}  // namespace

struct PlatformFile {
    int fd;
};

PlatformFile* OpenFileForReading(const char16_t* path, uint64_t* size) {
    char* native = NativePath(path);
    if (native == nullptr) {
        return nullptr;
    }
    // Without O_NONBLOCK a FIFO would wait here for a writer, deaf to Ctrl+C; with it, the open
    // returns at once and the type test below refuses the FIFO. A regular file reads as ever.
    int fd = open(native, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    std::free(native);
    if (fd < 0) {
        return nullptr;
    }
    struct stat info;
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(fd);
        return nullptr;
    }
    auto* file = static_cast<PlatformFile*>(std::malloc(sizeof(PlatformFile)));
    if (file == nullptr) {
        close(fd);
        return nullptr;
    }
    file->fd = fd;
    *size = static_cast<uint64_t>(info.st_size);
    return file;
}

long ReadFromFile(PlatformFile* file, uint8_t* into, size_t count) {
    long allowed = AllowedRead(count);
    if (allowed < 0) {
        return -1;
    }
    for (;;) {
        ssize_t got = read(file->fd, into, static_cast<size_t>(allowed));
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got > 0) {
            CountRead(static_cast<size_t>(got));
        }
        return got < 0 ? -1 : static_cast<long>(got);
    }
}

bool RewindFile(PlatformFile* file) {
    return lseek(file->fd, 0, SEEK_SET) == 0;
}

void CloseFile(PlatformFile* file) {
    if (file != nullptr) {
        close(file->fd);
        std::free(file);
    }
}

bool WriteFileReplacing(const char16_t* path, const uint8_t* bytes, size_t count) {
    char* native = NativePath(path);
    if (native == nullptr) {
        return false;
    }
    // The new file goes into the output's folder under a short name of its own.
    const char* slash = std::strrchr(native, '/');
    size_t folderLength = slash != nullptr ? static_cast<size_t>(slash - native) + 1 : 0;
    size_t temporarySize = folderLength + TEMPORARY_NAME_SIZE;
    char* temporary = static_cast<char*>(std::malloc(temporarySize));
    if (temporary == nullptr) {
        std::free(native);
        return false;
    }
    std::memcpy(temporary, native, folderLength);
    int fd = -1;
    if (!ActiveFileFaults().failCreate) {
        for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
            MakeTemporaryName(static_cast<unsigned long>(getpid()), temporary + folderLength);
            fd = open(temporary, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (fd < 0 && errno != EEXIST) {
                break;
            }
        }
    }
    bool done = false;
    if (fd >= 0) {
        bool written = WriteAll(fd, bytes, count);
        bool flushed = written && !ActiveFileFaults().failFlush && fsync(fd) == 0;
        bool closed = close(fd) == 0 && !ActiveFileFaults().failClose;
        done =
            flushed && closed && !ActiveFileFaults().failRename && rename(temporary, native) == 0;
        if (!done) {
            unlink(temporary);
        }
    }
    std::free(temporary);
    std::free(native);
    return done;
}

void AdviseLargeBlock(void* block, size_t size) {
    // Only the whole 2 MB pages inside the block; a smaller block has none.
    constexpr uintptr_t LARGE_PAGE = uintptr_t{2} << 20;
    auto start = reinterpret_cast<uintptr_t>(block);
    uintptr_t first = (start + LARGE_PAGE - 1) & ~(LARGE_PAGE - 1);
    uintptr_t end = (start + size) & ~(LARGE_PAGE - 1);
    if (end > first) {
        madvise(reinterpret_cast<void*>(first), end - first, MADV_HUGEPAGE);
    }
}

bool IsUsableFolder(const char16_t* folder) {
    char* native = NativeFolder(folder);
    if (native == nullptr) {
        return false;
    }
    struct stat info;
    bool usable =
        stat(native, &info) == 0 && S_ISDIR(info.st_mode) && access(native, W_OK | X_OK) == 0;
    std::free(native);
    return usable;
}

bool FileNameFits(const char16_t* folder, const char16_t* name) {
    char* native = NativeFolder(folder);
    if (native == nullptr) {
        return false;
    }
    long limit = pathconf(native, _PC_NAME_MAX);
    std::free(native);
    if (limit <= 0) {
        limit = NAME_MAX;
    }
    return Utf8Length(name) <= static_cast<size_t>(limit);
}

namespace {

// The identity of what the native path leads to; `folderOnly` refuses anything but a folder.
bool IdentityOf(char* native, bool folderOnly, FileIdentity* identity) {
    if (native == nullptr) {
        return false;
    }
    struct stat info;
    bool found = stat(native, &info) == 0 && (!folderOnly || S_ISDIR(info.st_mode));
    std::free(native);
    if (found) {
        *identity =
            FileIdentity{static_cast<uint64_t>(info.st_dev), static_cast<uint64_t>(info.st_ino)};
    }
    return found;
}

}  // namespace

bool GetFileIdentity(const char16_t* path, FileIdentity* identity) {
    return IdentityOf(NativePath(path), false, identity);
}

bool GetFolderIdentity(const char16_t* folder, FileIdentity* identity) {
    return IdentityOf(NativeFolder(folder), true, identity);
}

// Letter case counts on POSIX file systems: a name is its own form.
void FoldFileName(char16_t*) {}

bool ListFolderNames(const char16_t* folder, void (*add)(void* context, const char16_t* name),
                     void* context) {
    char* native = NativeFolder(folder);
    if (native == nullptr) {
        return false;
    }
    DIR* directory = opendir(native);
    std::free(native);
    if (directory == nullptr) {
        return false;
    }
    while (const dirent* entry = readdir(directory)) {
        if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0) {
            continue;
        }
        size_t nameLength = std::strlen(entry->d_name);
        auto* name = static_cast<char16_t*>(std::malloc((nameLength + 1) * sizeof(char16_t)));
        if (name != nullptr && BytesToUtf16(entry->d_name, name, nameLength + 1)) {
            add(context, name);
        }
        std::free(name);
    }
    closedir(directory);
    return true;
}

// A path longer than PATH_MAX - 1 bytes cannot be opened.
const size_t LONGEST_PATH_BYTES = PATH_MAX - 1;

bool NameLineToUtf16(const char* line, char16_t* out, size_t capacity) {
    return BytesToUtf16(line, out, capacity);
}

size_t ConvertCharactersToCodePage932(const char16_t* text, char* out, size_t capacity) {
    if (capacity == 0) {
        return 0;
    }
    iconv_t toShiftJis = iconv_open("CP932", "UTF-16LE");
    iconv_t fromShiftJis = iconv_open("UTF-16LE", "CP932");
    size_t length = 0;
    size_t at = 0;
    while (text[at] != 0) {
        char16_t unit = text[at++];
        char converted[8];
        size_t convertedLength = 0;
        bool surrogate = unit >= 0xD800 && unit <= 0xDFFF;
        if (surrogate) {
            // Code page 932 holds nothing outside the basic plane: the pair is one "?".
            if (unit <= 0xDBFF && text[at] >= 0xDC00 && text[at] <= 0xDFFF) {
                ++at;
            }
        } else if (toShiftJis != reinterpret_cast<iconv_t>(-1) &&
                   fromShiftJis != reinterpret_cast<iconv_t>(-1)) {
            char unitBytes[2] = {static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
            char* inPointer = unitBytes;
            size_t inLeft = 2;
            char* outPointer = converted;
            size_t outLeft = sizeof converted;
            iconv(toShiftJis, nullptr, nullptr, nullptr, nullptr);
            if (iconv(toShiftJis, &inPointer, &inLeft, &outPointer, &outLeft) != (size_t)-1 &&
                inLeft == 0) {
                convertedLength = sizeof converted - outLeft;
                // Held only when it converts back to the same character.
                char back[8];
                char* backIn = converted;
                size_t backInLeft = convertedLength;
                char* backOut = back;
                size_t backOutLeft = sizeof back;
                iconv(fromShiftJis, nullptr, nullptr, nullptr, nullptr);
                if (iconv(fromShiftJis, &backIn, &backInLeft, &backOut, &backOutLeft) ==
                        (size_t)-1 ||
                    sizeof back - backOutLeft != 2 || std::memcmp(back, unitBytes, 2) != 0) {
                    convertedLength = 0;
                }
            }
        }
        if (convertedLength == 0) {
            converted[0] = '?';
            convertedLength = 1;
        }
        if (length + convertedLength > capacity - 1) {
            break;
        }
        std::memcpy(out + length, converted, convertedLength);
        length += convertedLength;
    }
    out[length] = 0;
    if (toShiftJis != reinterpret_cast<iconv_t>(-1)) {
        iconv_close(toShiftJis);
    }
    if (fromShiftJis != reinterpret_cast<iconv_t>(-1)) {
        iconv_close(fromShiftJis);
    }
    return length;
}

struct CodePage932Decoder {
    iconv_t toUtf16;
};

CodePage932Decoder* OpenCodePage932Decoder() {
    iconv_t toUtf16 = iconv_open("UTF-16LE", "CP932");
    if (toUtf16 == reinterpret_cast<iconv_t>(-1)) {
        return nullptr;
    }
    auto* decoder = new (std::nothrow) CodePage932Decoder{toUtf16};
    if (decoder == nullptr) {
        iconv_close(toUtf16);
    }
    return decoder;
}

bool DecodeCodePage932Character(CodePage932Decoder* decoder, const uint8_t* bytes, size_t length,
                                char16_t* unit) {
    char in[2] = {static_cast<char>(bytes[0]), static_cast<char>(length > 1 ? bytes[1] : 0)};
    char* inPointer = in;
    size_t inLeft = length;
    char utf16[8];
    char* outPointer = utf16;
    size_t outLeft = sizeof utf16;
    iconv(decoder->toUtf16, nullptr, nullptr, nullptr, nullptr);
    if (iconv(decoder->toUtf16, &inPointer, &inLeft, &outPointer, &outLeft) == (size_t)-1 ||
        inLeft != 0 || sizeof utf16 - outLeft != 2) {
        return false;
    }
    *unit = static_cast<char16_t>(static_cast<uint8_t>(utf16[0]) |
                                  (static_cast<uint8_t>(utf16[1]) << 8));
    return true;
}

void CloseCodePage932Decoder(CodePage932Decoder* decoder) {
    if (decoder != nullptr) {
        iconv_close(decoder->toUtf16);
        delete decoder;
    }
}

CalendarTime LocalTimeAt(int64_t epochSeconds) {
    auto instant = static_cast<time_t>(epochSeconds);
    struct tm local {};
    localtime_r(&instant, &local);
    return CalendarTime{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                        local.tm_hour,        local.tm_min,     local.tm_sec};
}

struct PlatformThread {
    pthread_t thread;
    unsigned (*procedure)(void*);
    void* argument;
};

namespace {
void* ThreadTrampoline(void* start) {
    auto* thread = static_cast<PlatformThread*>(start);
    thread->procedure(thread->argument);
    return nullptr;
}
}  // namespace

PlatformThread* StartThread(unsigned (*procedure)(void*), void* argument) {
    auto* thread = ThreadStartFails() ? nullptr : new (std::nothrow) PlatformThread{};
    if (thread == nullptr) {
        return nullptr;
    }
    thread->procedure = procedure;
    thread->argument = argument;
    if (pthread_create(&thread->thread, nullptr, ThreadTrampoline, thread) != 0) {
        delete thread;
        return nullptr;
    }
    return thread;
}

void JoinThread(PlatformThread* thread) {
    if (thread != nullptr) {
        pthread_join(thread->thread, nullptr);
        delete thread;
    }
}

void* ThreadNativeHandle(PlatformThread* thread) {
    return thread;
}

struct PlatformEvent {
    pthread_mutex_t mutex;
    pthread_cond_t signalled;
    bool set;
};

PlatformEvent* CreateAutoResetEvent() {
    auto* event = new (std::nothrow) PlatformEvent{};
    if (event != nullptr) {
        pthread_mutex_init(&event->mutex, nullptr);
        pthread_cond_init(&event->signalled, nullptr);
    }
    return event;
}

void SignalEvent(PlatformEvent* event) {
    pthread_mutex_lock(&event->mutex);
    event->set = true;
    pthread_cond_signal(&event->signalled);
    pthread_mutex_unlock(&event->mutex);
}

void WaitForEvent(PlatformEvent* event) {
    pthread_mutex_lock(&event->mutex);
    while (!event->set) {
        pthread_cond_wait(&event->signalled, &event->mutex);
    }
    event->set = false;
    pthread_mutex_unlock(&event->mutex);
}

void CloseEvent(PlatformEvent* event) {
    if (event != nullptr) {
        pthread_cond_destroy(&event->signalled);
        pthread_mutex_destroy(&event->mutex);
        delete event;
    }
}

struct PlatformLock {
    pthread_mutex_t mutex;
};

PlatformLock* CreateLock() {
    auto* lock = new (std::nothrow) PlatformLock{};
    if (lock != nullptr) {
        pthread_mutex_init(&lock->mutex, nullptr);
    }
    return lock;
}

void EnterLock(PlatformLock* lock) {
    pthread_mutex_lock(&lock->mutex);
}
void LeaveLock(PlatformLock* lock) {
    pthread_mutex_unlock(&lock->mutex);
}

void DestroyLock(PlatformLock* lock) {
    if (lock != nullptr) {
        pthread_mutex_destroy(&lock->mutex);
        delete lock;
    }
}
