// What ties the rewriting of one line to the next within a file: the dissolve-pending flag and
// the DM speed records. Zero at the start of every file; nothing carries over between files.
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
    int dmRecordCount;    // records held, 0 to 2
    int dmNextRecord;     // the record the next event line is compared with
    int dmMissCount;      // event lines that failed to match a single record
    bool dmSameTimecode;  // both records share a timecode and the first has just matched
    DmSpeedRecord dmRecords[MAX_DM_RECORDS];
};
