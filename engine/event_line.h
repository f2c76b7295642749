// Rewriting of one event line into the fixed column layout of the banner's column header:
// event number, reel, channel map, transition, four timecodes and the trailing marks.
#pragma once

#include "line_state.h"
#include "line_stream.h"
#include "memory.h"

// Rewrites the event line in `piece` and appends it to `text`; false when memory runs out.
bool RewriteEventLine(const LinePiece& piece, ByteBuffer* text, LineState* state);
