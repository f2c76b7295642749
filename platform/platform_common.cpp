// The parts of the platform layer that are the same on every system: injected file faults and
// the local time now.
#include <ctime>

#include "platform_common.h"

namespace {

FileFaults activeFaults{};
size_t bytesReadSinceFaults = 0;
size_t bytesWrittenSinceFaults = 0;

}  // namespace

void SetFileFaults(const FileFaults& faults) {
    activeFaults = faults;
    bytesReadSinceFaults = 0;
    bytesWrittenSinceFaults = 0;
}

const FileFaults& ActiveFileFaults() {
    return activeFaults;
}

long AllowedRead(size_t count) {
    if (!activeFaults.failRead) {
        return static_cast<long>(count);
    }
    auto limit = static_cast<size_t>(activeFaults.readBytesBeforeFailure);
    if (bytesReadSinceFaults >= limit) {
        return -1;
    }
    size_t room = limit - bytesReadSinceFaults;
    return static_cast<long>(room < count ? room : count);
}

void CountRead(size_t count) {
    bytesReadSinceFaults += count;
}

size_t AllowedWrite(size_t count) {
    if (!activeFaults.failWrite) {
        return count;
    }
    auto limit = static_cast<size_t>(activeFaults.writeBytesBeforeFailure);
    size_t room = bytesWrittenSinceFaults >= limit ? 0 : limit - bytesWrittenSinceFaults;
    return room < count ? room : count;
}

void CountWritten(size_t count) {
    bytesWrittenSinceFaults += count;
}

CalendarTime LocalTimeNow() {
    return LocalTimeAt(static_cast<int64_t>(std::time(nullptr)));
}
