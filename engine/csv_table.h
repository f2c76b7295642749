// Tables for a spreadsheet: UTF-8 with a byte-order mark (Excel on a Japanese PC then reads it
// as UTF-8, not as code page 932), CR LF line ends, and each field quoted as RFC 4180 says when
// it holds a comma, a double quote, a CR or an LF (a double quote inside doubled).
#pragma once

#include <cstddef>
#include <cstdint>

#include "memory.h"

struct CsvTable {
    ByteBuffer* out;
    bool rowStarted;  // a field of the row in hand is written: the next takes a comma first
    bool failed;      // memory ran out
};

// Starts the table in `out` with the byte-order mark.
void StartCsvTable(CsvTable* table, ByteBuffer* out);

// A field of UTF-8 text.
void PutCsvField(CsvTable* table, const char* text, size_t length);
void PutCsvText(CsvTable* table, const char* text);
void PutCsvNumber(CsvTable* table, int64_t value);
void PutCsvEmpty(CsvTable* table);
// A field of code page 932 text (a note, a reel word of the list), as UTF-8.
void PutCsvCodePage932(CsvTable* table, const uint8_t* bytes, size_t length);

// Ends the row: CR LF.
void EndCsvRow(CsvTable* table);

// A row of header captions.
void PutCsvHeader(CsvTable* table, const char* const* captions, size_t count);
