#include "name_list.h"

#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr size_t READ_CHUNK = 65536;
constexpr char UTF8_BYTE_ORDER_MARK[] = "\xEF\xBB\xBF";
constexpr size_t UTF8_BYTE_ORDER_MARK_SIZE = 3;

// The line in hand: its bytes up to the limit (and one more, for a CR before the LF), whether it
// outgrew that, and the bytes still to be judged at the start of the input for the mark.
struct LineInHand {
    size_t longestLine;
    std::string bytes;
    bool tooLong = false;
    size_t number = 0;
    size_t markBytesSeen = 0;  // of the byte-order mark, while the first bytes come in
    bool pastStart = false;
};

void EndLine(LineInHand* line, void (*take)(void*, const NameLine&), void* takeContext) {
    ++line->number;
    if (!line->tooLong && !line->bytes.empty() && line->bytes.back() == '\r') {
        line->bytes.pop_back();
    }
    if (!line->tooLong && line->bytes.size() > line->longestLine) {
        line->tooLong = true;
    }
    if (line->tooLong) {
        take(takeContext, NameLine{line->number, NAME_LINE_TOO_LONG, ""});
    } else if (std::memchr(line->bytes.data(), 0, line->bytes.size()) != nullptr) {
        take(takeContext, NameLine{line->number, NAME_LINE_HAS_NUL, ""});
    } else if (!line->bytes.empty()) {
        take(takeContext, NameLine{line->number, NAME_LINE_NAME, line->bytes.c_str()});
    }
    line->bytes.clear();
    line->tooLong = false;
}

// Appends a piece of a line, keeping no more than the limit and a CR.
void AddToLine(LineInHand* line, const uint8_t* piece, size_t length) {
    if (line->tooLong) {
        return;
    }
    size_t room = line->longestLine + 1 - line->bytes.size();
    if (length > room) {
        line->tooLong = true;
        line->bytes.clear();
        return;
    }
    line->bytes.append(reinterpret_cast<const char*>(piece), length);
}

// Takes the mark off the first bytes of the input, which may come in several reads: its bytes
// are held back until they are all there, and given back to the line when they are no mark.
size_t SkipByteOrderMark(LineInHand* line, const uint8_t* chunk, size_t count) {
    size_t used = 0;
    while (!line->pastStart && used < count) {
        if (chunk[used] != static_cast<uint8_t>(UTF8_BYTE_ORDER_MARK[line->markBytesSeen])) {
            line->pastStart = true;
            AddToLine(line, reinterpret_cast<const uint8_t*>(UTF8_BYTE_ORDER_MARK),
                      line->markBytesSeen);
            return used;
        }
        ++used;
        if (++line->markBytesSeen == UTF8_BYTE_ORDER_MARK_SIZE) {
            line->pastStart = true;
        }
    }
    return used;
}

void TakeChunk(LineInHand* line, const uint8_t* chunk, size_t count,
               void (*take)(void*, const NameLine&), void* takeContext) {
    size_t at = SkipByteOrderMark(line, chunk, count);
    while (at < count) {
        const void* end = std::memchr(chunk + at, '\n', count - at);
        if (end == nullptr) {
            AddToLine(line, chunk + at, count - at);
            return;
        }
        size_t length = static_cast<size_t>(static_cast<const uint8_t*>(end) - (chunk + at));
        AddToLine(line, chunk + at, length);
        EndLine(line, take, takeContext);
        at += length + 1;
    }
}

}  // namespace

NameListEnd ReadNameList(const NameListInput& input, size_t longestLine,
                         void (*take)(void* context, const NameLine& line), void* takeContext) {
    LineInHand line{longestLine, {}};
    line.bytes.reserve(longestLine + 2);
    std::vector<uint8_t> chunk(READ_CHUNK);
    for (;;) {
        if (input.stopped(input.context)) {
            return NAME_LIST_STOPPED;
        }
        long got = input.read(input.context, chunk.data(), chunk.size());
        if (got == NAME_INPUT_INTERRUPTED) {
            continue;
        }
        if (got < 0) {
            return NAME_LIST_UNREADABLE;
        }
        if (got == 0) {
            break;
        }
        TakeChunk(&line, chunk.data(), static_cast<size_t>(got), take, takeContext);
    }
    // A mark cut short by the end, and a last line without its line end, are names too.
    if (!line.pastStart) {
        AddToLine(&line, reinterpret_cast<const uint8_t*>(UTF8_BYTE_ORDER_MARK),
                  line.markBytesSeen);
    }
    if (line.tooLong || !line.bytes.empty()) {
        EndLine(&line, take, takeContext);
    }
    return NAME_LIST_ENDED;
}
