// Memory for one conversion. Every buffer of the engine is obtained here, so that running out
// of memory is a value the caller can report, never an exception; tests make a chosen
// allocation fail to prove that each buffer's failure is handled.
#pragma once

#include <cstddef>
#include <cstdint>

// Zero-filled block of `size` bytes, or null when memory runs out.
void* EngineAlloc(size_t size);
// Resizes a block from EngineAlloc (or null); bytes past the old size are zero. On failure
// returns null and leaves the old block as it was.
void* EngineRealloc(void* block, size_t oldSize, size_t newSize);
void EngineFree(void* block);

// Test seam: the `countdown`-th allocation from now (1 = the next one) fails, and only that
// one; 0 switches the failure off. Returns how many allocations were made since the last call.
long SetEngineAllocFailure(long countdown);

// A growable byte buffer with a length and a capacity.
struct ByteBuffer {
    uint8_t* bytes;
    size_t length;
    size_t capacity;
};

// Makes room for at least `capacity` bytes (growing geometrically); false when memory runs out.
bool BufferReserve(ByteBuffer* buffer, size_t capacity);
// Appends `count` bytes; false (and nothing appended) when memory runs out.
bool BufferAppend(ByteBuffer* buffer, const void* bytes, size_t count);
void BufferRelease(ByteBuffer* buffer);
