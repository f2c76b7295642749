#include "note_line.h"

bool HandleNoteLine(const LinePiece& piece, OutputText* text, LineState* state) {
    (void)state;
    return AppendOutput(text, piece.bytes, piece.length);
}

bool HandleInternalDataLine(const LinePiece& piece, OutputText* text, uint32_t options) {
    (void)options;
    return AppendOutput(text, piece.bytes, piece.length);
}
