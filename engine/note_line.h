// Note lines and internal data lines: the pieces of the rewrite stream that are not event
// lines. Notes are kept, dropped when they repeat what the converter writes itself, and read
// for DM speed records; internal data lines follow the conversion option.
#pragma once

#include <cstdint>

#include "line_state.h"
#include "line_stream.h"
#include "memory.h"

// Appends the note to `text` unless it is dropped; `kept` tells which. False when memory runs
// out.
bool HandleNoteLine(const LinePiece& piece, ByteBuffer* text, LineState* state, bool* kept);
bool HandleInternalDataLine(const LinePiece& piece, ByteBuffer* text, uint32_t options);
