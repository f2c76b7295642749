// The banner at the head of every converted file: the title, a dashed line, the source's name,
// the conversion stamp, the column header, and the reel and block lines.
#pragma once

#include <cstddef>

#include "header.h"
#include "memory.h"
#include "text.h"

// The column header above the rewritten event lines.
constexpr char COLUMN_HEADER_LINE[] =
    "EDT   REL   MODE  TYP P S  T     P-VTR IN    P-VTR OUT   R-VTR IN    R-VTR OUT\r\n";

// The banner names the file in at most 260 bytes of code page 932.
constexpr size_t FILE_NAME_TEXT_SIZE = 261;

// Room for a formatted stamp, terminator included, whatever the numbers.
constexpr size_t STAMP_TEXT_SIZE = 64;

// "2019/03/06  09:05:07": the local date of the conversion, two blanks, the time.
void FormatStamp(const CalendarTime& time, char* out, size_t capacity);

// Writes the banner at the start of the (empty) output text. `fileNameText` is the display
// name in code page 932, `stamp` the formatted stamp. False when memory runs out.
bool ComposeBanner(ByteBuffer* text, const HeaderFields& fields, const char* fileNameText,
                   const char* stamp);
