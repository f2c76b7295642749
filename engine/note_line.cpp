#include "note_line.h"

#include "conversion_options.h"
#include "dm_speed.h"

namespace {

// Shorter pieces (an empty line, one visible character and its line end) carry nothing.
constexpr size_t MIN_NOTE_LENGTH = 4;

// Notes that repeat what the converter writes itself: effect names (the converter writes its
// own dissolve effect line), audio dissolves, and the banner's own ">>" lines.
const char* const DROPPED_NOTES[] = {"* EFFECT NAME:", "AUDIO DISSOLVE", "          >>"};

}  // namespace

bool HandleNoteLine(const LinePiece& piece, ByteBuffer* text, LineState* state, bool* kept) {
    *kept = false;
    if (piece.length < MIN_NOTE_LENGTH) {
        return true;
    }
    for (const char* pattern : DROPPED_NOTES) {
        if (ContainsText(piece.bytes, piece.length, pattern)) {
            return true;
        }
    }
    if (ContainsText(piece.bytes, piece.length, "DM ")) {
        CollectDmSpeedRecord(piece, state);
    }
    *kept = true;
    return BufferAppend(text, piece.bytes, piece.length);
}

bool HandleInternalDataLine(const LinePiece& piece, ByteBuffer* text, uint32_t options) {
    if ((options & OPTION_DELETE_INTERNAL_DATA) != 0) {
        return true;
    }
    return BufferAppend(text, piece.bytes, piece.length);
}
