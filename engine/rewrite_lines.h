// The line loop: reads the rewrite stream piece by piece, sorts every piece into one of four
// kinds and hands it to the rewriting of its kind, appending the result to the output text.
// It also matches the DM speed records to the event lines, and, when asked, records what it
// handled as line items (line_items.h) for the writers that come after it.
#pragma once

#include <cstdint>

#include "line_items.h"
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

// What the loop works on for one file.
struct LineLoop {
    LineStream* rewrite;
    // Where the body starts in the rewrite stream: the notes before it came from the header.
    size_t headerLength;
    ByteBuffer* text;  // the output text, after its banner
    uint32_t options;  // OPTION_ bits
    LineState* state;  // zero when the file begins
    LinePiece* piece;
    LineItems* items;  // null, or the items to record
};

// Rewrites every piece of the rewrite stream (read with the 160-byte limit) into the output
// text and records the items when asked. False when memory runs out.
bool RewriteLines(const LineLoop& loop);
