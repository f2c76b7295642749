#include "event_line.h"

bool RewriteEventLine(const LinePiece& piece, OutputText* text, LineState* state) {
    (void)state;
    return AppendOutput(text, piece.bytes, piece.length);
}
