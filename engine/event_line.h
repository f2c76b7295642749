// The repaired event line: the reading of an event line written into the fixed column layout
// of the banner's column header (event number, reel, channel map, transition, four timecodes
// and the trailing marks).
#pragma once

#include "event_record.h"
#include "line_state.h"
#include "line_stream.h"
#include "memory.h"

// Writes the repaired line of the event line in `piece`, read as `record`, to `text`, and the
// dissolve's effect line before it when it is a dissolve. False when memory runs out.
bool WriteRepairedEventLine(const LinePiece& piece, const EventRecord& record, ByteBuffer* text,
                            LineState* state);

// Reads the event line in `piece` and writes its repaired line; false when memory runs out.
bool RewriteEventLine(const LinePiece& piece, ByteBuffer* text, LineState* state);
