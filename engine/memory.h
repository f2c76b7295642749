// Memory for one conversion. Every buffer of the engine is obtained here, so that running out
// of memory is a value the caller can report, never an exception; tests make a chosen
// allocation fail to prove that each buffer's failure is handled.
#pragma once

#include <cstddef>
#include <cstdint>

// Zero-filled block of `size` bytes, or null when memory runs out.
void* EngineAlloc(size_t size);
// Resizes a block from EngineAlloc (or null); bytes past the old size are left as they come.
// On failure returns null and leaves the old block as it was.
void* EngineRealloc(void* block, size_t newSize);
void EngineFree(void* block);

// Test seam: the `countdown`-th allocation from now (1 = the next one) fails, and only that
// one; 0 switches the failure off. Returns how many allocations were made since the last call.
long SetEngineAllocFailure(long countdown);

// The one growable byte buffer of the engine: the working buffer, the two line streams, the
// output text and the export are all of this kind.
struct ByteBuffer {
    uint8_t* bytes;
    size_t length;
    size_t capacity;
};

// Makes room for at least `capacity` bytes: at least twice the old room once there is some, so
// that appending stays linear. False when memory runs out (the buffer is left as it was).
bool BufferReserve(ByteBuffer* buffer, size_t capacity);
// Appends `count` bytes; false (and nothing appended) when memory runs out.
bool BufferAppend(ByteBuffer* buffer, const void* bytes, size_t count);
// Appends a NUL-terminated text without its terminator.
bool BufferAppendText(ByteBuffer* buffer, const char* text);
void BufferRelease(ByteBuffer* buffer);
