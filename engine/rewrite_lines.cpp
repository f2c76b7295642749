#include "rewrite_lines.h"

#include "dissolve.h"
#include "event_line.h"
#include "note_line.h"

LineKind ClassifyLine(const LinePiece& piece) {
    size_t start = 0;
    while (start < piece.length && piece.bytes[start] == ' ') {
        ++start;
    }
    if (start == piece.length || !IsDigit(piece.bytes[start])) {
        return LINE_NOTE;
    }
    int separators = CountTimecodeSeparators(piece.bytes, piece.length);
    if (separators != 12 && separators != 13) {
        return LINE_INTERNAL_DATA;
    }
    size_t digits = 0;
    while (start + digits < piece.length && IsDigit(piece.bytes[start + digits])) {
        ++digits;
    }
    return digits < 2 || digits > 4 ? LINE_MALFORMED_EVENT : LINE_EVENT;
}

bool RewriteLines(LineStream* rewrite, ByteBuffer* text, uint32_t options, LineState* state,
                  LinePiece* piece) {
    rewrite->position = 0;
    while (ReadLinePiece(rewrite, REWRITE_LINE_LIMIT, piece)) {
        bool stored = true;
        switch (ClassifyLine(*piece)) {
            case LINE_NOTE:
                stored = HandleNoteLine(*piece, text, state);
                break;
            case LINE_INTERNAL_DATA:
                stored = HandleInternalDataLine(*piece, text, options);
                break;
            case LINE_MALFORMED_EVENT:
                // An event number of 1 or of 5 or more digits: the line is dropped.
                break;
            case LINE_EVENT:
                stored = RewriteEventLine(*piece, text, state);
                break;
        }
        if (!stored) {
            return false;
        }
    }
    return FlushDissolveEffects(text, state);
}
