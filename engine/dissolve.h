// The effect line that announces a dissolve, inserted before the run of lines that carry the
// dissolve's event number: normally before the event's first line, the one it dissolves from.
#pragma once

#include <cstddef>

#include "line_state.h"
#include "memory.h"

constexpr char DISSOLVE_EFFECT_LINE[] = "          * EFFECT NAME: DISSOLVE\r\n";

// Called right after an event line of type "D" (`lineLength` bytes, already appended) while
// the dissolve-pending flag is set; `eventNumberField` is its four-digit event number. Finds
// where the effect line belongs and records it there; clears the flag. False when memory runs
// out.
bool InsertDissolveEffect(ByteBuffer* text, const char* eventNumberField, size_t lineLength,
                          LineState* state);

// Writes the effect lines still recorded into the text; called once the last line is in.
bool FlushDissolveEffects(ByteBuffer* text, LineState* state);
