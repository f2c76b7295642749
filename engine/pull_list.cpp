#include "pull_list.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "cmx_events.h"
#include "csv_table.h"
#include "list_text.h"
#include "platform.h"

namespace {

const char* const CAPTIONS[] = {"リール", "元のリール", "ソースIN", "ソースOUT",
                                "尺",     "イベント数", "イベント", "ファイル"};
// The captions of a list of one file: all but the files.
constexpr size_t FILE_CAPTIONS = sizeof CAPTIONS / sizeof CAPTIONS[0] - 1;

constexpr char LIST_SEPARATOR[] = " / ";

// A reel that is no tape: black, or the auxiliary source of a line without a reel word.
bool IsTape(const char* reel) {
    return std::strcmp(reel, CMX_BLACK_REEL) != 0 && std::strcmp(reel, CMX_NO_REEL) != 0;
}

void LeaveOut(PullReport* report, uint32_t bveNumber) {
    if (report->leftOut < PULL_REPORT_NUMBERS) {
        report->leftOutNumbers[report->leftOut] = bveNumber;
    }
    ++report->leftOut;
}

bool AddEntry(PullRanges* ranges, const PullEntry& entry) {
    if (ranges->count == ranges->capacity) {
        size_t grown = ranges->capacity < 256 ? 256 : ranges->capacity * 2;
        void* bigger = EngineRealloc(ranges->entries, grown * sizeof(PullEntry));
        if (bigger == nullptr) {
            return false;
        }
        ranges->entries = static_cast<PullEntry*>(bigger);
        ranges->capacity = grown;
    }
    ranges->entries[ranges->count++] = entry;
    return true;
}

// What collecting one list works with.
struct Collection {
    const LineItems* items;
    PullRanges* ranges;
    PullReport* report;
    uint32_t file;
    CmxReelTable reels;
    CmxShots shots;  // each shot tagged with its item's index + 1
    bool failed;
};

// Adds a range of the reel word `word` (as written) to the list's ranges.
void AddRange(Collection* list, PullEntry entry, const uint8_t* word, size_t length) {
    entry.original = static_cast<uint32_t>(list->ranges->originals.length);
    entry.originalLength = static_cast<uint32_t>(length);
    entry.file = list->file;
    list->failed = list->failed || !BufferAppend(&list->ranges->originals, word, length) ||
                   !AddEntry(list->ranges, entry);
}

// A dissolve plays the shot it comes from on past that shot's source out, for its length: that
// part of the outgoing tape is the dissolve's range too.
void AddOutgoingTail(Collection* list, uint8_t channels, int dissolveFrames, uint32_t bveNumber) {
    const CmxShot& outgoing = OutgoingCmxShot(list->shots, channels);
    if (dissolveFrames == 0 || !outgoing.present || !IsTape(outgoing.reel)) {
        return;
    }
    const LineItem& item = list->items->items[outgoing.tag - 1];
    const LineSpan reel = list->items->events[item.event].reading.reel;
    PullEntry entry{};
    std::memcpy(entry.reel, outgoing.reel, CMX_REEL_NAME_SIZE);
    entry.in = TimecodeFrames(outgoing.sourceOut, list->ranges->rate);
    entry.out = entry.in + dissolveFrames;
    entry.bveNumber = bveNumber;
    AddRange(list, entry, ItemLine(*list->items, item).bytes + reel.start, reel.length);
}

void CollectEvent(Collection* list, size_t index) {
    const LineItem& item = list->items->items[index];
    CmxEvent held = ReadCmxEvent(*list->items, item, list->ranges->rate);
    if (!held.held) {
        LeaveOut(list->report, held.bveNumber);
        return;
    }
    const EventLine line = ItemLine(*list->items, item);
    const EventRecord& record = list->items->events[item.event].reading;
    AddOutgoingTail(list, record.channels, held.dissolveFrames, held.bveNumber);
    PullEntry entry{};
    CmxReelName(&list->reels, line, record, entry.reel);
    entry.in = TimecodeFrames(held.timecodes[0], list->ranges->rate);
    entry.out = TimecodeFrames(held.timecodes[1], list->ranges->rate);
    entry.bveNumber = held.bveNumber;
    if (!IsTape(entry.reel) || entry.out < entry.in) {
        LeaveOut(list->report, held.bveNumber);
    } else {
        AddRange(list, entry, line.bytes + record.reel.start, record.reel.length);
    }
    RememberCmxShot(&list->shots, entry.reel, record.channels, held.timecodes[1],
                    static_cast<uint32_t>(index + 1));
}

// --- Writing ----------------------------------------------------------------------------------

bool EntryBefore(const PullEntry& a, const PullEntry& b) {
    int reels = std::strcmp(a.reel, b.reel);
    if (reels != 0) {
        return reels < 0;
    }
    return a.in != b.in ? a.in < b.in : a.out < b.out;
}

// A row: the entries [first, end) of one reel, merged.
struct PullRow {
    size_t first;
    size_t end;
    int64_t in;
    int64_t out;
};

// An event of a row: a list of a batch and a BVE event number in it. A dissolve and the cut
// it comes from share their number; each event is named once.
struct RowEvent {
    uint32_t file;
    uint32_t number;
};

bool RowEventBefore(const RowEvent& a, const RowEvent& b) {
    return a.file != b.file ? a.file < b.file : a.number < b.number;
}

struct ListWriter {
    PullRanges* ranges;
    const char* const* fileNames;
    CsvTable csv;
    ByteBuffer scratch;  // a field being put together
    RowEvent* events;    // the events of the row in hand
    size_t eventCapacity;
    size_t eventCount;
    size_t* distinct;  // entries of the row with a reel word not seen before in it
    size_t distinctCount;
};

void AppendScratch(ListWriter* list, const void* bytes, size_t length) {
    list->csv.failed = list->csv.failed || !BufferAppend(&list->scratch, bytes, length);
}

void PutScratch(ListWriter* list) {
    PutCsvField(&list->csv, reinterpret_cast<const char*>(list->scratch.bytes),
                list->scratch.length);
    list->scratch.length = 0;
}

// Room for the events of a row of `count` entries; false when memory runs out.
bool MakeRowRoom(ListWriter* list, size_t count) {
    if (count <= list->eventCapacity) {
        return true;
    }
    void* events = EngineRealloc(list->events, count * sizeof(RowEvent));
    list->events = events != nullptr ? static_cast<RowEvent*>(events) : list->events;
    void* distinct = EngineRealloc(list->distinct, count * sizeof(size_t));
    list->distinct = distinct != nullptr ? static_cast<size_t*>(distinct) : list->distinct;
    if (events == nullptr || distinct == nullptr) {
        return false;
    }
    list->eventCapacity = count;
    return true;
}

// The row's events, each once, sorted by list and number.
void GatherEvents(ListWriter* list, const PullRow& row) {
    list->eventCount = 0;
    for (size_t k = row.first; k < row.end; ++k) {
        const PullEntry& entry = list->ranges->entries[k];
        list->events[list->eventCount++] = RowEvent{entry.file, entry.bveNumber};
    }
    std::sort(list->events, list->events + list->eventCount, RowEventBefore);
    list->eventCount =
        static_cast<size_t>(std::unique(list->events, list->events + list->eventCount,
                                        [](const RowEvent& a, const RowEvent& b) {
                                            return a.file == b.file && a.number == b.number;
                                        }) -
                            list->events);
}

// The reel words of the row, each once, decoded, joined. A reel's name stands for one word in
// each list, so they are few.
void PutOriginals(ListWriter* list, const PullRow& row) {
    const PullEntry* entries = list->ranges->entries;
    const uint8_t* pool = list->ranges->originals.bytes;
    list->distinctCount = 0;
    for (size_t k = row.first; k < row.end; ++k) {
        bool seen = false;
        for (size_t d = 0; d < list->distinctCount && !seen; ++d) {
            const PullEntry& other = entries[list->distinct[d]];
            seen = other.originalLength == entries[k].originalLength &&
                   std::memcmp(pool + other.original, pool + entries[k].original,
                               entries[k].originalLength) == 0;
        }
        if (!seen) {
            list->distinct[list->distinctCount++] = k;
            char text[3 * PIECE_BUFFER_SIZE + 1];
            size_t length = ConvertFromCodePage932(pool + entries[k].original,
                                                   entries[k].originalLength, text, sizeof text);
            if (list->scratch.length > 0) {
                AppendScratch(list, LIST_SEPARATOR, sizeof LIST_SEPARATOR - 1);
            }
            AppendScratch(list, text, length);
        }
    }
    PutScratch(list);
}

void PutTimecodeField(ListWriter* list, int64_t frames) {
    char text[TIMECODE_LENGTH];
    PutCsvField(&list->csv, text,
                PutTimecode(text, 0, TimecodeAtFrame(frames, list->ranges->rate)));
}

// The BVE numbers of the row's events, "0002 0003"; in a batch's list each file's numbers apart,
// "0001 / 0001 0004", in the order of the files column.
void PutNumbers(ListWriter* list) {
    for (size_t k = 0; k < list->eventCount; ++k) {
        char number[16];
        size_t length = PutNumber(number, 0, list->events[k].number, 4);
        if (k > 0 && list->events[k - 1].file != list->events[k].file) {
            AppendScratch(list, LIST_SEPARATOR, sizeof LIST_SEPARATOR - 1);
        } else if (k > 0) {
            AppendScratch(list, " ", 1);
        }
        AppendScratch(list, number, length);
    }
    PutScratch(list);
}

// The lists of a batch the row's events come from, each once, in the batch's order.
void PutFiles(ListWriter* list) {
    for (size_t k = 0; k < list->eventCount; ++k) {
        if (k > 0 && list->events[k - 1].file == list->events[k].file) {
            continue;
        }
        if (k > 0) {
            AppendScratch(list, LIST_SEPARATOR, sizeof LIST_SEPARATOR - 1);
        }
        const char* name = list->fileNames[list->events[k].file];
        AppendScratch(list, name, std::strlen(name));
    }
    PutScratch(list);
}

void WriteRow(ListWriter* list, const PullRow& row) {
    if (!MakeRowRoom(list, row.end - row.first)) {
        list->csv.failed = true;
        return;
    }
    GatherEvents(list, row);
    PutCsvText(&list->csv, list->ranges->entries[row.first].reel);
    PutOriginals(list, row);
    PutTimecodeField(list, row.in);
    PutTimecodeField(list, row.out);
    PutTimecodeField(list, row.out - row.in);
    PutCsvNumber(&list->csv, static_cast<int64_t>(list->eventCount));
    PutNumbers(list);
    if (list->fileNames != nullptr) {
        PutFiles(list);
    }
    EndCsvRow(&list->csv);
}

}  // namespace

bool CollectPullRanges(const CmxSource& source, const CmxExportOptions& options, uint32_t file,
                       PullRanges* ranges, PullReport* report) {
    *report = PullReport{};
    ranges->rate = CmxFrameRate(options);
    Collection list{source.items, ranges, report, file, {}, {}, false};
    list.failed = !NameCmxReels(*source.items, ranges->rate, &list.reels);
    for (size_t k = 0; k < source.items->itemCount && !list.failed; ++k) {
        const LineItem& item = source.items->items[k];
        if (item.kind == ITEM_EVENT) {
            CollectEvent(&list, k);
        } else if (item.kind == ITEM_MALFORMED_EVENT) {
            const uint8_t* bytes = source.items->text + item.offset;
            LeaveOut(report, BveEventNumber(bytes, item.length));
        }
    }
    ReleaseCmxReelTable(&list.reels);
    return !list.failed;
}

bool AppendPullRanges(PullRanges* batch, const PullRanges& list, uint32_t file) {
    batch->rate = list.rate;
    for (size_t k = 0; k < list.count; ++k) {
        PullEntry entry = list.entries[k];
        entry.original = static_cast<uint32_t>(batch->originals.length);
        entry.file = file;
        if (!BufferAppend(&batch->originals, list.originals.bytes + list.entries[k].original,
                          entry.originalLength) ||
            !AddEntry(batch, entry)) {
            return false;
        }
    }
    return true;
}

bool WritePullList(PullRanges* ranges, int handleSeconds, const char* const* fileNames,
                   ByteBuffer* out, PullReport* report) {
    std::sort(ranges->entries, ranges->entries + ranges->count, EntryBefore);
    int seconds = handleSeconds < 0                        ? 0
                  : handleSeconds > LONGEST_HANDLE_SECONDS ? LONGEST_HANDLE_SECONDS
                                                           : handleSeconds;
    int64_t handle = int64_t{seconds} * ranges->rate.framesPerSecond;
    int64_t lastFrame = FramesPerDay(ranges->rate) - 1;
    ListWriter list{};
    list.ranges = ranges;
    list.fileNames = fileNames;
    StartCsvTable(&list.csv, out);
    PutCsvHeader(&list.csv, CAPTIONS, fileNames != nullptr ? FILE_CAPTIONS + 1 : FILE_CAPTIONS);
    report->tapes = 0;
    report->ranges = 0;
    for (size_t k = 0; k < ranges->count && !list.csv.failed;) {
        const PullEntry& first = ranges->entries[k];
        bool newTape = k == 0 || std::strcmp(first.reel, ranges->entries[k - 1].reel) != 0;
        report->tapes += newTape ? 1u : 0u;
        PullRow row{k, k + 1, std::max<int64_t>(0, first.in - handle),
                    std::min(lastFrame, first.out + handle)};
        // Sorted by source in, so a range that starts after the row's end starts a new row.
        while (row.end < ranges->count &&
               std::strcmp(ranges->entries[row.end].reel, first.reel) == 0 &&
               std::max<int64_t>(0, ranges->entries[row.end].in - handle) <= row.out) {
            row.out = std::max(row.out, std::min(lastFrame, ranges->entries[row.end].out + handle));
            ++row.end;
        }
        WriteRow(&list, row);
        ++report->ranges;
        k = row.end;
    }
    BufferRelease(&list.scratch);
    EngineFree(list.events);
    EngineFree(list.distinct);
    return !list.csv.failed;
}

void ReleasePullRanges(PullRanges* ranges) {
    EngineFree(ranges->entries);
    BufferRelease(&ranges->originals);
    *ranges = PullRanges{};
}

size_t FormatPullSummary(const PullReport& report, const char* name, char* out, size_t capacity) {
    if (capacity == 0) {
        return 0;
    }
    bool named = name != nullptr && name[0] != 0;
    int length =
        std::snprintf(out, capacity, "%s%s%u %s, %u %s, %u %s", named ? name : "",
                      named ? ": " : "", report.tapes, report.tapes == 1 ? "tape" : "tapes",
                      report.ranges, report.ranges == 1 ? "range" : "ranges", report.leftOut,
                      report.leftOut == 1 ? "event left out" : "events left out");
    for (uint32_t k = 0; length >= 0 && k < report.leftOut && k < PULL_REPORT_NUMBERS; ++k) {
        size_t used =
            static_cast<size_t>(length) < capacity ? static_cast<size_t>(length) : capacity;
        int more = std::snprintf(out + used, capacity - used, "%s%04u%s", k == 0 ? " (" : ", ",
                                 report.leftOutNumbers[k],
                                 k + 1 == report.leftOut || k + 1 == PULL_REPORT_NUMBERS
                                     ? (report.leftOut > PULL_REPORT_NUMBERS ? ", ...)" : ")")
                                     : "");
        length = more < 0 ? length : length + more;
    }
    if (length < 0) {
        out[0] = 0;
        return 0;
    }
    return static_cast<size_t>(length) < capacity ? static_cast<size_t>(length) : capacity - 1;
}
