#include "rewrite_lines.h"

#include "cmx_export.h"
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

namespace {

bool HandleNote(const LinePiece& piece, size_t offset, ByteBuffer* text, LineState* state,
                CmxExport* cmx) {
    int recordsBefore = state->dmRecordCount;
    bool kept = false;
    if (!HandleNoteLine(piece, text, state, &kept)) {
        return false;
    }
    int recordMade = state->dmRecordCount > recordsBefore ? recordsBefore : -1;
    return cmx == nullptr || !kept || ExportCmxNote(cmx, offset, piece.length, recordMade);
}

bool HandleEvent(const LinePiece& piece, size_t offset, ByteBuffer* text, LineState* state,
                 CmxExport* cmx) {
    EventRecord record;
    ReadEventLine(piece, state, &record);
    return WriteRepairedEventLine(piece, record, text, state) &&
           (cmx == nullptr ||
            ExportCmxEvent(cmx, offset, piece.length, record, state->dmRecordCount));
}

}  // namespace

bool RewriteLines(LineStream* rewrite, ByteBuffer* text, uint32_t options, LineState* state,
                  LinePiece* piece, CmxExport* cmx) {
    rewrite->position = 0;
    while (ReadLinePiece(rewrite, REWRITE_LINE_LIMIT, piece)) {
        size_t offset = rewrite->position - piece->length;
        bool stored = true;
        switch (ClassifyLine(*piece)) {
            case LINE_NOTE:
                stored = HandleNote(*piece, offset, text, state, cmx);
                break;
            case LINE_INTERNAL_DATA:
                stored = HandleInternalDataLine(*piece, text, options) &&
                         (cmx == nullptr || ExportCmxInternalData(cmx, offset, piece->length));
                break;
            case LINE_MALFORMED_EVENT:
                // An event number of 1 or of 5 or more digits: the line is dropped; the export
                // keeps it as a comment.
                stored = cmx == nullptr || ExportCmxDroppedEvent(cmx, offset, piece->length);
                break;
            case LINE_EVENT:
                stored = HandleEvent(*piece, offset, text, state, cmx);
                break;
        }
        if (!stored) {
            return false;
        }
    }
    return FlushDissolveEffects(text, state);
}
