// DM speed records: a "DM " note line names a playback speed and a timecode; the event line
// whose first timecode matches gets the mark "DM" and the speed in its remainder field.
#pragma once

#include <cstddef>

#include "event_record.h"
#include "line_state.h"
#include "line_stream.h"

// Collects a record from a note line that holds "DM " (at most two records are held).
void CollectDmSpeedRecord(const LinePiece& piece, LineState* state);

// For each event line, in order: compares the first 11 bytes of its timecode field with the
// current record and, on a match, copies the record's speed ("+050") into `speed` (of
// `speedSize` bytes, terminated) and returns the record's index; otherwise returns -1 and
// leaves `speed` alone. Then advances or discards the records.
int TakeDmSpeed(const char* timecodeField, LineState* state, char* speed, size_t speedSize);

// The DM speed step for an event line just read: matches its first timecode with the records
// (TakeDmSpeed) and, on a match, gives the line the record's speed, unless its marks already
// hold a "DM" of their own, which the repaired line keeps. Sets `record->dmRecord` to the record
// matched, or -1.
void ApplyDmSpeed(const EventLine& line, LineState* state, EventRecord* record);
