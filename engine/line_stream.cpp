#include "line_stream.h"

#include <cstring>

bool ReadLinePiece(LineStream* stream, size_t limit, LinePiece* piece) {
    std::memset(piece->bytes, 0, sizeof piece->bytes);
    piece->length = 0;
    if (stream->position >= stream->data.length || limit < 2) {
        return false;
    }
    size_t available = stream->data.length - stream->position;
    size_t most = limit - 1 < available ? limit - 1 : available;
    const uint8_t* start = stream->data.bytes + stream->position;
    const void* lineFeed = std::memchr(start, '\n', most);
    size_t length = lineFeed != nullptr
                        ? static_cast<size_t>(static_cast<const uint8_t*>(lineFeed) - start) + 1
                        : most;
    std::memcpy(piece->bytes, start, length);
    piece->length = length;
    stream->position += length;
    return true;
}

bool StreamWrite(LineStream* stream, const void* bytes, size_t count) {
    return BufferAppend(&stream->data, bytes, count);
}

void StreamRelease(LineStream* stream) {
    BufferRelease(&stream->data);
    stream->position = 0;
}

const uint8_t* FindText(const uint8_t* text, size_t length, const char* needle) {
    size_t needleLength = std::strlen(needle);
    if (needleLength == 0 || needleLength > length) {
        return needleLength == 0 ? text : nullptr;
    }
    // Each line is searched for several phrases: find the first byte, then compare the rest.
    const uint8_t* last = text + (length - needleLength);
    for (const uint8_t* at = text; at <= last;) {
        const void* first = std::memchr(at, needle[0], static_cast<size_t>(last - at) + 1);
        if (first == nullptr) {
            return nullptr;
        }
        at = static_cast<const uint8_t*>(first);
        if (std::memcmp(at + 1, needle + 1, needleLength - 1) == 0) {
            return at;
        }
        ++at;
    }
    return nullptr;
}

bool ContainsText(const uint8_t* text, size_t length, const char* needle) {
    return FindText(text, length, needle) != nullptr;
}

int CountTimecodeSeparators(const uint8_t* text, size_t length) {
    int separators = 0;
    for (size_t k = 0; k < length; ++k) {
        separators += text[k] == ':' || text[k] == '.' || text[k] == ',';
    }
    return separators;
}
