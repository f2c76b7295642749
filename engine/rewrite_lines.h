// The line loop: reads the rewrite stream piece by piece, sorts every piece into one of four
// kinds and hands it to the rewriting of its kind, appending the result to the output text.
#pragma once

#include <cstdint>

struct CmxExport;

#include "line_state.h"
#include "line_stream.h"
#include "memory.h"

enum LineKind {
    // After its leading spaces the piece does not start with a digit.
    LINE_NOTE,
    // Starts with a digit but holds neither 12 nor 13 of ":", "." and ",".
    LINE_INTERNAL_DATA,
    // Looks like an event line, but its event number has fewer than 2 or more than 4 digits.
    LINE_MALFORMED_EVENT,
    LINE_EVENT,
};

LineKind ClassifyLine(const LinePiece& piece);

// Rewrites every piece of the rewrite stream (read with the 160-byte limit) into `text` and,
// when `cmx` is not null, hands every event line with its reading, every note kept, every
// internal data line and every dropped event line to the export. False when memory runs out.
bool RewriteLines(LineStream* rewrite, ByteBuffer* text, uint32_t options, LineState* state,
                  LinePiece* piece, CmxExport* cmx);
