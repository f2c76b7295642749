// What ties the rewriting of one line to the next within a file: the dissolve-pending flag, the
// effect lines still to be put in place, and the DM speed records. Zero at the start of every
// file; nothing carries over between files.
#pragma once

#include <cstddef>

constexpr int MAX_DM_RECORDS = 2;
constexpr size_t DM_SPEED_FIELD_SIZE = 10;
constexpr size_t DM_TIMECODE_FIELD_SIZE = 50;

struct DmSpeedRecord {
    char speed[DM_SPEED_FIELD_SIZE];        // sign and three digits, "+050"
    char timecode[DM_TIMECODE_FIELD_SIZE];  // eleven characters when complete, "00:00:10.00"
};

struct LineState {
    // An event line of type "D" has been appended and waits for its effect line.
    bool dissolvePending;
    // Dissolve effect lines that belong at `effectOffset` of the output text but are not
    // written there yet: a run of dissolves with one event number stacks its effect lines at
    // one place, and writing them once, when the place changes or the file ends, keeps the
    // text from being moved once per dissolve.
    size_t effectCount;
    size_t effectOffset;
    // Every line that starts between `effectOffset` and `effectRunEnd` (both included) begins
    // with the event number of the pending effect lines; a later dissolve of that number that
    // reaches these lines belongs at `effectOffset` without walking back over them again.
    size_t effectRunEnd;
    int dmRecordCount;    // records held, 0 to 2
    int dmNextRecord;     // the record the next event line is compared with
    int dmMissCount;      // event lines that failed to match a single record
    bool dmSameTimecode;  // both records share a timecode and the first has just matched
    DmSpeedRecord dmRecords[MAX_DM_RECORDS];
};
