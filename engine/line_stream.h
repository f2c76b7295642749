// The two temporary streams of one conversion (the decoded stream and the rewrite stream),
// kept in memory: byte offsets and line reads behave as with a binary file, but nothing is
// written to disk where the user may have no right to write.
#pragma once

#include <cstddef>
#include <cstdint>

#include "memory.h"

struct LineStream {
    ByteBuffer data;
    size_t position;
};

// The buffer into which every line piece is read; the longest piece is 255 bytes.
constexpr size_t PIECE_BUFFER_SIZE = 300;

// Line limits: a piece holds at most limit - 1 bytes.
constexpr size_t HEADER_LINE_LIMIT = 138;
constexpr size_t EVENT_SEARCH_LINE_LIMIT = 256;
constexpr size_t REWRITE_LINE_LIMIT = 160;

struct LinePiece {
    // The piece's bytes, then zeros up to the end of the buffer: nothing an earlier, longer
    // piece left here can be read as part of this one.
    uint8_t bytes[PIECE_BUFFER_SIZE];
    size_t length;
};

// Reads the next piece: at most limit - 1 bytes, ending after the first line feed.
// Returns false at the end of the stream. Afterwards the position is just past the piece.
bool ReadLinePiece(LineStream* stream, size_t limit, LinePiece* piece);

bool StreamWrite(LineStream* stream, const void* bytes, size_t count);

// The first place of `needle` in the first `length` bytes of `text`, or null.
const uint8_t* FindText(const uint8_t* text, size_t length, const char* needle);
bool ContainsText(const uint8_t* text, size_t length, const char* needle);

constexpr bool IsDigit(int value) {
    return value >= '0' && value <= '9';
}

// How many of ":", "." and "," the bytes hold together: the separators of timecodes, by which
// event lines are told from other lines.
int CountTimecodeSeparators(const uint8_t* text, size_t length);
void StreamRelease(LineStream* stream);
