#include "output_text.h"

#include <cstring>

#include "memory.h"

namespace {

// Room for the banner of any file, so that a short source does not make the first lines grow
// the text at once.
constexpr size_t MIN_OUTPUT_CAPACITY = 1024;

bool Reserve(OutputText* text, size_t needed) {
    if (needed < text->length || needed == SIZE_MAX) {
        return false;
    }
    if (needed + 1 <= text->capacity) {
        return true;
    }
    ByteBuffer buffer{text->bytes, text->length, text->capacity};
    if (!BufferReserve(&buffer, needed + 1)) {
        return false;
    }
    text->bytes = buffer.bytes;
    text->capacity = buffer.capacity;
    return true;
}

}  // namespace

bool ObtainOutputText(OutputText* text, size_t decodedCount) {
    *text = OutputText{};
    size_t capacity = decodedCount > SIZE_MAX / 4 ? SIZE_MAX / 2 : 2 * decodedCount;
    if (capacity < MIN_OUTPUT_CAPACITY) {
        capacity = MIN_OUTPUT_CAPACITY;
    }
    text->bytes = static_cast<uint8_t*>(EngineAlloc(capacity));
    if (text->bytes == nullptr) {
        return false;
    }
    text->capacity = capacity;
    return true;
}

void ReleaseOutputText(OutputText* text) {
    EngineFree(text->bytes);
    *text = OutputText{};
}

bool AppendOutput(OutputText* text, const void* bytes, size_t count) {
    if (count > SIZE_MAX - 1 - text->length || !Reserve(text, text->length + count)) {
        return false;
    }
    std::memcpy(text->bytes + text->length, bytes, count);
    text->length += count;
    text->bytes[text->length] = 0;
    return true;
}

bool AppendOutputString(OutputText* text, const char* string) {
    return AppendOutput(text, string, std::strlen(string));
}

bool InsertOutput(OutputText* text, size_t offset, const void* bytes, size_t count) {
    if (offset > text->length || count > SIZE_MAX - 1 - text->length ||
        !Reserve(text, text->length + count)) {
        return false;
    }
    std::memmove(text->bytes + offset + count, text->bytes + offset, text->length - offset);
    std::memcpy(text->bytes + offset, bytes, count);
    text->length += count;
    text->bytes[text->length] = 0;
    return true;
}
