#include "banner.h"

#include <cstdio>

#include "tamsel_version.h"

namespace {

constexpr char DASHED_LINE[] =
    "-------------------------------------------------------------------------------";
static_assert(sizeof DASHED_LINE - 1 == 79, "the dashed line is 79 hyphens");
static_assert(sizeof COLUMN_HEADER_LINE - 1 == 80, "the column header is 78 characters and CR LF");

}  // namespace

void FormatStamp(const CalendarTime& time, char* out, size_t capacity) {
    std::snprintf(out, capacity, "%d/%02d/%02d  %02d:%02d:%02d", time.year, time.month, time.day,
                  time.hour, time.minute, time.second);
}

bool ComposeBanner(ByteBuffer* text, const HeaderFields& fields, const char* fileNameText,
                   const char* stamp) {
    // "\r\n%s\r\n%s\r\n%s%s          >> EDL File: [%s]\r\n"
    // "          >> Rewroted by TAMSEL Ver <version>  [%s]\r\n\r\n%s%s%s", its two empty
    // slots left out.
    const char* const parts[] = {
        "\r\n",
        fields.title,
        "\r\n",
        DASHED_LINE,
        "\r\n",
        "          >> EDL File: [",
        fileNameText,
        "]\r\n          >> Rewroted by TAMSEL Ver " TAMSEL_VERSION_TEXT "  [",
        stamp,
        "]\r\n\r\n",
        COLUMN_HEADER_LINE,
        fields.reelLine,
        fields.blockLine,
    };
    text->length = 0;
    for (const char* part : parts) {
        if (!BufferAppendText(text, part)) {
            return false;
        }
    }
    return true;
}
