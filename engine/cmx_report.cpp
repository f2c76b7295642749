#include "cmx_report.h"

#include <cstdio>

void ReportKeptAsComment(CmxReport* report, uint32_t bveEventNumber) {
    if (report->keptAsComments < CMX_REPORT_NUMBERS) {
        report->keptEventNumbers[report->keptAsComments] = bveEventNumber;
    }
    ++report->keptAsComments;
}

size_t FormatCmxSummary(const CmxReport& report, const char* name, char* out, size_t capacity) {
    if (capacity == 0) {
        return 0;
    }
    bool named = name != nullptr && name[0] != 0;
    int length = std::snprintf(
        out, capacity, "%s%s%u %s, %u %s, %u %s", named ? name : "", named ? ": " : "",
        report.eventsWritten, report.eventsWritten == 1 ? "event" : "events", report.dissolvesSplit,
        report.dissolvesSplit == 1 ? "dissolve" : "dissolves", report.keptAsComments,
        report.keptAsComments == 1 ? "kept as a comment" : "kept as comments");
    if (length >= 0 && static_cast<size_t>(length) < capacity && report.reelsRenamed > 0) {
        size_t used = static_cast<size_t>(length);
        int more = std::snprintf(out + used, capacity - used, ", %u %s", report.reelsRenamed,
                                 report.reelsRenamed == 1 ? "reel renamed" : "reels renamed");
        length = more < 0 ? length : length + more;
    }
    if (length < 0) {
        out[0] = 0;
        return 0;
    }
    return static_cast<size_t>(length) < capacity ? static_cast<size_t>(length) : capacity - 1;
}
