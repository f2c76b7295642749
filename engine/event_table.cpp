#include "event_table.h"

#include <cstdio>
#include <cstring>

#include "cmx_events.h"
#include "cmx_reels.h"
#include "csv_table.h"
#include "list_text.h"
#include "platform.h"

namespace {

const char* const CAPTIONS[] = {
    "BVEイベント",    "CMXイベント", "リール",    "元のリール", "チャンネル",  "トランジション",
    "長さ(フレーム)", "ソースIN",    "ソースOUT", "レコードIN", "レコードOUT", "尺",
    "スピード(%)",    "ノート",
};

// Between two notes of one row.
constexpr char NOTE_SEPARATOR[] = " / ";

struct TableWriter {
    const LineItems* items;
    FrameRate rate;
    CmxReelTable reels;
    CsvTable csv;
    uint32_t cmxNumber;  // the export's number of the last held event
    bool rowOpen;        // a row waits for the notes that follow its event line
    ByteBuffer note;     // the notes of that row, as UTF-8
    ByteBuffer line;     // a note line longer than a piece, as its pieces come (code page 932)
    ByteBuffer decoded;  // room to decode it
    EventTableReport* report;
};

void AppendNote(TableWriter* table, const char* text, size_t length) {
    if (length == 0) {
        return;
    }
    bool stored = (table->note.length == 0 ||
                   BufferAppend(&table->note, NOTE_SEPARATOR, sizeof NOTE_SEPARATOR - 1)) &&
                  BufferAppend(&table->note, text, length);
    table->csv.failed = table->csv.failed || !stored;
}

// The note line gathered so far, trimmed and decoded, as a note of the row.
void FlushNoteLine(TableWriter* table) {
    const uint8_t* bytes = table->line.bytes;
    size_t length = table->line.length;
    TrimBytes(&bytes, &length);
    size_t room = 3 * length + 1;
    if (length > 0 && BufferReserve(&table->decoded, room)) {
        auto* text = reinterpret_cast<char*>(table->decoded.bytes);
        size_t written = ConvertFromCodePage932(bytes, length, text, room);
        // A control character inside a note would break the row for some readers: a blank.
        for (size_t k = 0; k < written; ++k) {
            text[k] = IsControlByte(static_cast<uint8_t>(text[k])) ? ' ' : text[k];
        }
        AppendNote(table, text, written);
    } else if (length > 0) {
        table->csv.failed = true;
    }
    table->line.length = 0;
}

// A piece of a note line (code page 932). A line longer than a piece comes as several, each
// but the last without its line end: they are joined before the line is decoded, so that no
// character is split.
void AddNotePiece(TableWriter* table, const uint8_t* bytes, size_t length) {
    table->csv.failed = table->csv.failed || !BufferAppend(&table->line, bytes, length);
    if (length > 0 && bytes[length - 1] == '\n') {
        FlushNoteLine(table);
    }
}

void FinishRow(TableWriter* table) {
    FlushNoteLine(table);
    if (table->rowOpen) {
        PutCsvField(&table->csv, reinterpret_cast<const char*>(table->note.bytes),
                    table->note.length);
        EndCsvRow(&table->csv);
        table->rowOpen = false;
    }
    table->note.length = 0;
}

void PutZeroFilled(TableWriter* table, uint32_t value, size_t width) {
    char digits[16];
    size_t length = PutNumber(digits, 0, value, width);
    PutCsvField(&table->csv, digits, length);
}

void PutTimecodeField(TableWriter* table, const Timecode& timecode) {
    char text[TIMECODE_LENGTH];
    PutCsvField(&table->csv, text, PutTimecode(text, 0, timecode));
}

// "AA/V", and "A3" and "A4" after it; an event of audio 3 and 4 alone is "A3 A4".
void PutChannels(TableWriter* table, uint8_t channels) {
    char text[16] = "";
    size_t at = 0;
    if ((channels & (CHANNEL_V | CHANNEL_A1 | CHANNEL_A2)) != 0 ||
        (channels & (CHANNEL_A3 | CHANNEL_A4)) == 0) {
        at = PutText(text, at, CmxChannelText(channels));
    }
    for (uint8_t audio : {CHANNEL_A3, CHANNEL_A4}) {
        if ((channels & audio) != 0) {
            at = PutText(text, at, at > 0 ? " " : "");
            at = PutText(text, at, audio == CHANNEL_A3 ? "A3" : "A4");
        }
    }
    PutCsvField(&table->csv, text, at);
}

// The speed mark "+050" as a percentage, "50"; "-025" as "-25".
void PutSpeed(TableWriter* table, const char* speed) {
    if (speed[0] == 0) {
        PutCsvEmpty(&table->csv);
        return;
    }
    int percent = (speed[1] - '0') * 100 + (speed[2] - '0') * 10 + (speed[3] - '0');
    PutCsvNumber(&table->csv, speed[0] == '-' ? -percent : percent);
}

// An event the export holds: its fields as the export writes them; its notes follow.
void StartHeldRow(TableWriter* table, const LineItem& item, const CmxEvent& held) {
    const EventLine line = ItemLine(*table->items, item);
    const LineEvent& event = table->items->events[item.event];
    const EventRecord& record = event.reading;
    ++table->cmxNumber;
    PutZeroFilled(table, held.bveNumber, 4);
    PutZeroFilled(table, table->cmxNumber, 3);
    char reel[CMX_REEL_NAME_SIZE];
    CmxReelName(&table->reels, line, record, reel);
    PutCsvText(&table->csv, reel);
    PutCsvCodePage932(&table->csv, line.bytes + record.reel.start, record.reel.length);
    PutChannels(table, record.channels);
    PutCsvText(&table->csv, held.dissolveFrames > 0 ? "D" : "C");
    if (held.dissolveFrames > 0) {
        PutCsvNumber(&table->csv, held.dissolveFrames);
    } else {
        PutCsvEmpty(&table->csv);
    }
    for (const Timecode& timecode : held.timecodes) {
        PutTimecodeField(table, timecode);
    }
    int64_t length = TimecodeFrames(held.timecodes[3], table->rate) -
                     TimecodeFrames(held.timecodes[2], table->rate);
    PutTimecodeField(table, TimecodeAtFrame(length, table->rate));
    PutSpeed(table, record.speed);
    table->rowOpen = true;
    // What the export keeps of the line as comments: its transition, mode and marks.
    char transition[CMX_TRANSITION_TEXT_SIZE];
    AppendNote(table, transition, CmxTransitionText(line, record, held.dissolveFrames, transition));
    if (record.assemble) {
        AppendNote(table, "ASMBL", 5);
    }
    if (record.marksUnmapped) {
        AddNotePiece(table, line.bytes + record.marks.start, record.marks.length);
        FlushNoteLine(table);
    }
}

// An event line the export keeps as a comment: its number, its reel word when it has a reading,
// and the line itself as its first note.
void StartKeptRow(TableWriter* table, const LineItem& item) {
    const EventLine line = ItemLine(*table->items, item);
    PutZeroFilled(table, BveEventNumber(line.bytes, line.length), 4);
    PutCsvEmpty(&table->csv);
    PutCsvEmpty(&table->csv);
    if (item.kind == ITEM_EVENT) {
        const EventRecord& record = table->items->events[item.event].reading;
        PutCsvCodePage932(&table->csv, line.bytes + record.reel.start, record.reel.length);
    } else {
        PutCsvEmpty(&table->csv);
    }
    for (int empty = 0; empty < 9; ++empty) {
        PutCsvEmpty(&table->csv);
    }
    ++table->report->withoutTimecodes;
    table->rowOpen = true;
    AddNotePiece(table, line.bytes, line.length);
    FlushNoteLine(table);
}

void TakeItem(TableWriter* table, const LineItem& item) {
    const uint8_t* bytes = table->items->text + item.offset;
    switch (item.kind) {
        case ITEM_NOTE:
        case ITEM_DM_LINE:
            // Notes before the first event line belong to no row; a DM line whose speed an
            // event took is that event's note.
            if (table->rowOpen && !item.speedTaken) {
                AddNotePiece(table, bytes, item.length);
            }
            break;
        case ITEM_MALFORMED_EVENT:
        case ITEM_EVENT: {
            FinishRow(table);
            ++table->report->rows;
            CmxEvent held{};
            if (item.kind == ITEM_EVENT) {
                held = ReadCmxEvent(*table->items, item, table->rate);
            }
            if (held.held) {
                StartHeldRow(table, item, held);
            } else {
                StartKeptRow(table, item);
            }
            uint32_t speedLine =
                item.kind == ITEM_EVENT ? table->items->events[item.event].speedLine : NO_ITEM;
            if (speedLine != NO_ITEM) {
                const LineItem& line = table->items->items[speedLine];
                AddNotePiece(table, table->items->text + line.offset, line.length);
                FlushNoteLine(table);
            }
            break;
        }
        case ITEM_HEADER_NOTE:
        case ITEM_DROPPED_NOTE:
        case ITEM_INTERNAL_DATA:
            FlushNoteLine(table);
            break;
    }
}

}  // namespace

bool WriteEventTable(const CmxSource& source, const CmxExportOptions& options, ByteBuffer* out,
                     EventTableReport* report) {
    *report = EventTableReport{};
    TableWriter table{};
    table.items = source.items;
    table.rate = CmxFrameRate(options);
    table.report = report;
    StartCsvTable(&table.csv, out);
    table.csv.failed = table.csv.failed || !NameCmxReels(*source.items, table.rate, &table.reels);
    PutCsvHeader(&table.csv, CAPTIONS, sizeof CAPTIONS / sizeof CAPTIONS[0]);
    for (size_t k = 0; k < source.items->itemCount && !table.csv.failed; ++k) {
        TakeItem(&table, source.items->items[k]);
    }
    FinishRow(&table);
    ReleaseCmxReelTable(&table.reels);
    BufferRelease(&table.note);
    BufferRelease(&table.line);
    BufferRelease(&table.decoded);
    return !table.csv.failed;
}

size_t FormatEventTableSummary(const EventTableReport& report, const char* name, char* out,
                               size_t capacity) {
    if (capacity == 0) {
        return 0;
    }
    bool named = name != nullptr && name[0] != 0;
    int length = std::snprintf(out, capacity, "%s%s%u %s, %u without timecodes", named ? name : "",
                               named ? ": " : "", report.rows, report.rows == 1 ? "row" : "rows",
                               report.withoutTimecodes);
    if (length < 0) {
        out[0] = 0;
        return 0;
    }
    return static_cast<size_t>(length) < capacity ? static_cast<size_t>(length) : capacity - 1;
}
