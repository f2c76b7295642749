// DM speed records: a "DM " note line names a playback speed and a timecode; the event line
// whose first timecode matches gets the mark "DM" and the speed in its remainder field.
#pragma once

#include "line_state.h"
#include "line_stream.h"

// Collects a record from a note line that holds "DM " (at most two records are held).
void CollectDmSpeedRecord(const LinePiece& piece, LineState* state);

// For each event line, after its remainder field is filled and before it is trimmed: compares
// the first 11 bytes of the timecode field with the current record and, on a match, writes
// "DM" at offset 6 and the speed at offset 8 of the remainder field (unless it holds "DM"
// already); then advances or discards the records.
void ApplyDmSpeed(const char* timecodeField, char* remainderField, LineState* state);
