#include "csv_table.h"

#include <cstdio>
#include <cstring>

#include "platform.h"

namespace {

constexpr char BYTE_ORDER_MARK[] = "\xEF\xBB\xBF";

void Append(CsvTable* table, const void* bytes, size_t count) {
    if (!table->failed && !BufferAppend(table->out, bytes, count)) {
        table->failed = true;
    }
}

bool NeedsQuotes(const char* text, size_t length) {
    for (size_t k = 0; k < length; ++k) {
        char c = text[k];
        if (c == ',' || c == '"' || c == '\r' || c == '\n') {
            return true;
        }
    }
    return false;
}

}  // namespace

void StartCsvTable(CsvTable* table, ByteBuffer* out) {
    *table = CsvTable{out, false, false};
    Append(table, BYTE_ORDER_MARK, sizeof BYTE_ORDER_MARK - 1);
}

void PutCsvField(CsvTable* table, const char* text, size_t length) {
    if (table->rowStarted) {
        Append(table, ",", 1);
    }
    table->rowStarted = true;
    if (!NeedsQuotes(text, length)) {
        Append(table, text, length);
        return;
    }
    Append(table, "\"", 1);
    size_t start = 0;
    for (size_t k = 0; k < length; ++k) {
        if (text[k] == '"') {
            Append(table, text + start, k + 1 - start);  // the quote, then its double
            start = k;
        }
    }
    Append(table, text + start, length - start);
    Append(table, "\"", 1);
}

void PutCsvText(CsvTable* table, const char* text) {
    PutCsvField(table, text, std::strlen(text));
}

void PutCsvNumber(CsvTable* table, int64_t value) {
    char digits[24];
    std::snprintf(digits, sizeof digits, "%lld", static_cast<long long>(value));
    PutCsvText(table, digits);
}

void PutCsvEmpty(CsvTable* table) {
    PutCsvField(table, "", 0);
}

void PutCsvCodePage932(CsvTable* table, const uint8_t* bytes, size_t length) {
    // Three bytes of UTF-8 at most for each byte of code page 932; a field is at most a piece
    // of the list (159 bytes) in every table.
    char text[3 * 256 + 1];
    size_t taken = length < 256 ? length : 256;
    size_t written = ConvertFromCodePage932(bytes, taken, text, sizeof text);
    PutCsvField(table, text, written);
}

void EndCsvRow(CsvTable* table) {
    Append(table, "\r\n", 2);
    table->rowStarted = false;
}

void PutCsvHeader(CsvTable* table, const char* const* captions, size_t count) {
    for (size_t k = 0; k < count; ++k) {
        PutCsvText(table, captions[k]);
    }
    EndCsvRow(table);
}
