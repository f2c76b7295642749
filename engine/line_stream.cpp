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
    size_t length = lineFeed != nullptr ? static_cast<const uint8_t*>(lineFeed) - start + 1 : most;
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
