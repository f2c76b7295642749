#include "memory.h"

#include <atomic>
#include <cstdlib>
#include <cstring>

#include "platform.h"

namespace {

// From this size on a buffer (the working buffer, the output text, the export of a long list) is
// filled over megabytes: the system is asked to back it with large pages.
constexpr size_t LARGE_BUFFER = size_t{4} << 20;

std::atomic<long> failCountdown{0};
std::atomic<long> allocationCount{0};

bool ShouldFail() {
    allocationCount.fetch_add(1, std::memory_order_relaxed);
    long left = failCountdown.load(std::memory_order_relaxed);
    while (left > 0) {
        if (failCountdown.compare_exchange_weak(left, left - 1, std::memory_order_relaxed)) {
            return left == 1;
        }
    }
    return false;
}

}  // namespace

void* EngineAlloc(size_t size) {
    if (ShouldFail()) {
        return nullptr;
    }
    return std::calloc(size == 0 ? 1 : size, 1);
}

void* EngineRealloc(void* block, size_t newSize) {
    if (ShouldFail()) {
        return nullptr;
    }
    return std::realloc(block, newSize == 0 ? 1 : newSize);
}

void EngineFree(void* block) {
    std::free(block);
}

long SetEngineAllocFailure(long countdown) {
    failCountdown.store(countdown < 0 ? 0 : countdown);
    return allocationCount.exchange(0);
}

bool BufferReserve(ByteBuffer* buffer, size_t capacity) {
    if (capacity <= buffer->capacity) {
        return true;
    }
    size_t grown = buffer->capacity > SIZE_MAX / 2 ? SIZE_MAX : buffer->capacity * 2;
    if (grown < capacity) {
        grown = capacity;
    }
    void* bytes = EngineRealloc(buffer->bytes, grown);
    if (bytes == nullptr) {
        return false;
    }
    if (grown >= LARGE_BUFFER) {
        AdviseLargeBlock(bytes, grown);
    }
    buffer->bytes = static_cast<uint8_t*>(bytes);
    buffer->capacity = grown;
    return true;
}

bool BufferAppend(ByteBuffer* buffer, const void* bytes, size_t count) {
    if (count > SIZE_MAX - buffer->length || !BufferReserve(buffer, buffer->length + count)) {
        return false;
    }
    if (count != 0) {
        std::memcpy(buffer->bytes + buffer->length, bytes, count);
    }
    buffer->length += count;
    return true;
}

bool BufferAppendText(ByteBuffer* buffer, const char* text) {
    return BufferAppend(buffer, text, std::strlen(text));
}

void BufferRelease(ByteBuffer* buffer) {
    EngineFree(buffer->bytes);
    *buffer = ByteBuffer{};
}
