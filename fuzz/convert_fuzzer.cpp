// Fuzz target over the whole one-file conversion: bytes in, output text or refusal out.
//
// Checks, for every input:
// - the result is a converted text or one of the two refusals (CMX, unknown layout);
// - converting the same bytes again gives the same result and the same output;
// - with the delete option the output differs only by lines the option removes;
// - a controller-coded file and its plain-text twin give the same output: the input is turned
//   into printable text with CR LF line ends (holding a "1", so it is read as plain text), and
//   into the controller's coding of the same text (bit 7 on every "1" and on other characters
//   that come back unchanged, 0x8D as the line end);
// - with the CMX export, the event table and the pull list (their rate, handles and options
//   taken from the input's first byte) the repaired text stays the same, and the export is a
//   list every parser reads: TITLE and FCM lines first, no comment before the first event, CR LF
//   line ends, ASCII-only lines but for comments, every event line in its columns with nothing
//   after its last timecode, an AUD line only under an event line, and as many event numbers as
//   the report counts; each table begins with its byte-order mark and header row, and holds
//   the rows its report counts, each ended by CR LF.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "engine.h"

namespace {

using Bytes = std::string;

const char STAMP[] = "2019/03/06  09:05:07";

void Check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "fuzz check failed: %s\n", what);
        std::abort();
    }
}

// What the second pass wrote: the export and the two tables, with what each did.
struct Lists {
    Bytes cmx;
    CmxReport cmxReport;
    Bytes events;
    EventTableReport eventsReport;
    Bytes pull;
    PullReport pullReport;
};

Bytes TextOf(const ByteBuffer& buffer) {
    return buffer.length == 0 ? Bytes()
                              : Bytes(reinterpret_cast<const char*>(buffer.bytes), buffer.length);
}

// Converts with the OPTION_ bits `options` (and the lists' `rate` and `handles`); what the
// second pass wrote goes to `lists`.
ConversionResult Convert(const Bytes& source, uint32_t options, Bytes* output, int rate = 30,
                         int handles = 2, Lists* lists = nullptr) {
    MemorySource memory{reinterpret_cast<const uint8_t*>(source.data()), source.size(), 0};
    ByteSource input = MakeMemorySource(&memory);
    ConvertedTexts out{};
    SourceConversion conversion{
        &input, static_cast<uint32_t>(source.size()), "F.EDL", STAMP, options, rate, handles};
    ConversionResult result = ConvertEdlSource(conversion, &out);
    output->clear();
    if (result == RESULT_CONVERTED) {
        *output = TextOf(out.text);
        Check(output->find('\0') == Bytes::npos, "the output text holds no NUL byte");
        if (lists != nullptr) {
            *lists = Lists{TextOf(out.cmx),  out.cmxReport,    TextOf(out.events),
                           out.eventsReport, TextOf(out.pull), out.pullReport};
        }
    }
    ReleaseConvertedTexts(&out);
    return result;
}

// A table for a spreadsheet: the byte-order mark and the header row first, every line ended
// by CR LF (no field holds a line end), as many rows as the report counts.
void CheckTable(const Bytes& table, const char* header, uint32_t rows) {
    Check(table.compare(0, 3, "\xEF\xBB\xBF") == 0, "a table begins with its byte-order mark");
    Check(table.compare(3, std::strlen(header), header) == 0, "then its header row");
    size_t lines = 0;
    for (size_t at = 0; at < table.size(); ++at) {
        if (table[at] == '\n' || table[at] == '\r') {
            Check(table.compare(at, 2, "\r\n") == 0, "a table's lines end with CR LF");
            ++lines;
            ++at;
        }
    }
    Check(!table.empty() && table.compare(table.size() - 2, 2, "\r\n") == 0 && lines == rows + 1,
          "a table holds its header and the rows its report counts");
}

bool IsPrintable(const Bytes& text) {
    for (unsigned char c : text) {
        if (c < 0x20 || c >= 0x7F) {
            return false;
        }
    }
    return true;
}

bool IsDigitByte(char c) {
    return c >= '0' && c <= '9';
}

// "01:00:00:00" at `at`.
bool IsTimecodeAt(const Bytes& line, size_t at) {
    static const char pattern[] = "dd:dd:dd:dd";
    for (size_t k = 0; k < 11; ++k) {
        char c = at + k < line.size() ? line[at + k] : 0;
        if (pattern[k] == 'd' ? !IsDigitByte(c) : c != ':') {
            return false;
        }
    }
    return true;
}

// An event line: number, two blanks, reel in 8, blank, channels in 4, two blanks, transition
// in 4, blank, duration in 3, then four timecodes each after one blank, and nothing else.
bool IsEventLine(const Bytes& line, size_t digits) {
    const size_t rest = digits + 2 + 8 + 1 + 4 + 2 + 4 + 1 + 3;
    if (line.size() != rest + 4 * 12) {
        return false;
    }
    for (int k = 0; k < 4; ++k) {
        size_t at = rest + static_cast<size_t>(k) * 12;
        if (line[at] != ' ' || !IsTimecodeAt(line, at + 1)) {
            return false;
        }
    }
    return line.compare(digits, 2, "  ") == 0 && line[digits + 2] != ' ';
}

// The checks listed at the top, on the export's bytes.
void CheckExport(const Bytes& exported, const CmxReport& report) {
    Check(exported.compare(0, 7, "TITLE: ") == 0, "the export begins with its TITLE line");
    std::vector<Bytes> lines;
    size_t start = 0;
    while (start < exported.size()) {
        size_t end = exported.find("\r\n", start);
        Check(end != Bytes::npos, "every export line ends with CR LF");
        lines.push_back(exported.substr(start, end - start));
        start = end + 2;
    }
    Check(lines.size() >= 3, "TITLE, FCM and an empty line");
    Check(IsPrintable(lines[0]) && lines[0].back() != ' ', "an ASCII title, no trailing blank");
    Check(lines[1] == "FCM: NON-DROP FRAME" || lines[1] == "FCM: DROP FRAME", "the FCM line");
    bool eventSeen = false;
    bool underEvent = false;
    uint32_t numbers = 0;
    Bytes lastNumber;
    for (size_t k = 2; k < lines.size(); ++k) {
        const Bytes& line = lines[k];
        Check(line.find_first_of("\r\n") == Bytes::npos, "no line break inside a line");
        bool comment = line.compare(0, 2, "* ") == 0;
        Check(comment || IsPrintable(line), "every line but a comment is ASCII");
        size_t digits = 0;
        while (digits < line.size() && IsDigitByte(line[digits])) {
            ++digits;
        }
        if (digits > 0) {
            Check(IsEventLine(line, digits), "an event line in its columns, nothing after it");
            if (line.compare(0, digits, lastNumber) != 0) {
                ++numbers;
                lastNumber = line.substr(0, digits);
            }
            eventSeen = true;
        } else if (line.compare(0, 3, "AUD") == 0) {
            Check(underEvent, "an AUD line right under an event line");
        } else if (line.compare(0, 2, "M2") == 0) {
            Check(eventSeen && line.size() == 52 && IsTimecodeAt(line, 41), "an M2 line");
        } else {
            Check(line.empty() || comment, "blank, comment, event, AUD or M2 lines only");
            Check(!comment || eventSeen || report.eventsWritten == 0,
                  "no comment before the first event");
        }
        underEvent = digits > 0;
    }
    Check(numbers == report.eventsWritten, "the report counts every event number");
}

// Printable text from arbitrary bytes: every byte becomes a character of the event-line
// alphabet or a line end, so that the text is rich in event lines.
Bytes PlainTwin(const uint8_t* data, size_t size) {
    static const char alphabet[] = "0123456789 0123456789 :::.,.  ABCDKVWFPREADMSpeed:+-x ";
    Bytes text = "1\r\n";  // a "1" makes the plain text read as plain text
    for (size_t k = 0; k < size; ++k) {
        uint8_t byte = data[k];
        if (byte % 23 == 0) {
            text += "\r\n";
        } else {
            text += alphabet[byte % (sizeof alphabet - 1)];
        }
    }
    return text;
}

// The controller's coding of a plain twin: 0x8D for CR LF, bit 7 on every "1" and, by the
// input's own bits, on characters whose coded form decodes back to them.
Bytes ControllerTwin(const Bytes& plain, const uint8_t* data, size_t size) {
    Bytes coded;
    for (size_t k = 0; k < plain.size(); ++k) {
        char c = plain[k];
        if (c == '\r') {
            coded += '\x8D';
            ++k;  // its line feed
            continue;
        }
        bool keepsItsForm = c != '.' && c != 'i' && c != 'm' && c < 'v';
        bool setBit = c == '1' || (keepsItsForm && size > 0 && (data[k % size] & 0x40) != 0);
        coded += setBit ? static_cast<char>(c | 0x80) : c;
    }
    return coded;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Bytes source(reinterpret_cast<const char*>(data), size);
    Bytes first;
    ConversionResult result = Convert(source, 0, &first);
    Check(result == RESULT_CONVERTED || result == RESULT_CMX_FORMAT ||
              result == RESULT_UNKNOWN_FORMAT,
          "a converted text or a refusal");
    Bytes again;
    Check(Convert(source, 0, &again) == result && again == first,
          "the same bytes, the same output");
    Bytes withoutInternal;
    Check(Convert(source, OPTION_DELETE_INTERNAL_DATA, &withoutInternal) == result,
          "the option changes no refusal");
    Check(withoutInternal.size() <= first.size(), "the option only removes lines");

    static const int RATES[] = {30, 25, 24};
    uint8_t choice = size > 0 ? data[0] : 0;
    bool deleteInternalData = (choice & 0x20) != 0;
    uint32_t options = OPTIONS_EXPORTING | ((choice & 0x10) != 0 ? OPTION_CMX_DROP_FRAME : 0) |
                       (deleteInternalData ? OPTION_DELETE_INTERNAL_DATA : 0);
    Bytes repaired;
    Lists lists;
    int handles = (choice >> 6) * 2;  // 0 to 6 seconds
    Check(Convert(source, options, &repaired, RATES[choice % 3], handles, &lists) == result,
          "the lists change no result");
    Check(repaired == (deleteInternalData ? withoutInternal : first), "the lists change no output");
    if (result == RESULT_CONVERTED) {
        CheckExport(lists.cmx, lists.cmxReport);
        CheckTable(lists.events, "BVEイベント,CMXイベント,", lists.eventsReport.rows);
        CheckTable(lists.pull, "リール,元のリール,", lists.pullReport.ranges);
    }

    Bytes plain = PlainTwin(data, size);
    Bytes fromPlain;
    Bytes fromController;
    ConversionResult plainResult = Convert(plain, 0, &fromPlain);
    ConversionResult controllerResult =
        Convert(ControllerTwin(plain, data, size), 0, &fromController);
    Check(plainResult == controllerResult, "twins: the same result");
    Check(fromPlain == fromController, "twins: the same output");
    return 0;
}
