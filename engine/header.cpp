#include "header.h"

#include <cstring>

namespace {

constexpr int CMX_SEARCH_PIECES = 10;
constexpr int EVENT_LINE_SEPARATORS = 12;

// A blank for the title test: a byte whose signed value is at most 0x20, so every byte from
// 0x80 up counts too (Shift-JIS text at the start of a line is skipped).
bool IsTitleBlank(uint8_t byte) {
    return static_cast<int8_t>(byte) <= 0x20;
}

void CopyField(char* field, size_t fieldSize, const uint8_t* text, size_t length) {
    if (length >= fieldSize) {
        length = fieldSize - 1;  // never reached: a header piece is shorter than the field
    }
    std::memcpy(field, text, length);
    field[length] = 0;
}

void SetDefaults(HeaderFields* fields) {
    std::memset(fields, 0, sizeof *fields);
    std::memcpy(fields->title, DEFAULT_TITLE, sizeof DEFAULT_TITLE);
    std::memcpy(fields->reelLine, DEFAULT_REEL_LINE, sizeof DEFAULT_REEL_LINE);
    std::memcpy(fields->blockLine, DEFAULT_BLOCK_LINE, sizeof DEFAULT_BLOCK_LINE);
}

// The title pass: the first piece before the event line with something other than blanks.
void ExtractTitle(LineStream* decoded, size_t eventStart, LinePiece* piece, char* title) {
    decoded->position = 0;
    while (ReadLinePiece(decoded, HEADER_LINE_LIMIT, piece) && decoded->position < eventStart) {
        size_t start = 0;
        while (start < piece->length && IsTitleBlank(piece->bytes[start])) {
            ++start;
        }
        if (start == piece->length) {
            continue;
        }
        const uint8_t* rest = piece->bytes + start;
        size_t restLength = piece->length - start;
        if (std::memchr(rest, '@', restLength) == nullptr) {
            title[0] = '@';
            CopyField(title + 1, TITLE_FIELD_SIZE - 1, rest, restLength);
        } else {
            CopyField(title, TITLE_FIELD_SIZE, rest, restLength);
        }
        return;
    }
}

// The reel and block pass: the last piece before the event line with each phrase wins.
void ExtractReelAndBlock(LineStream* decoded, size_t eventStart, LinePiece* piece,
                         HeaderFields* fields) {
    decoded->position = 0;
    while (ReadLinePiece(decoded, HEADER_LINE_LIMIT, piece) && decoded->position < eventStart) {
        // Each phrase is kept from its first byte to the piece's end, line end included.
        auto restFrom = [piece](const uint8_t* match) {
            return piece->length - static_cast<size_t>(match - piece->bytes);
        };
        if (const uint8_t* reel = FindText(piece->bytes, piece->length, "MASTER RECORDER REEL ")) {
            CopyField(fields->reelLine, HEADER_LINE_FIELD_SIZE, reel, restFrom(reel));
        } else if (const uint8_t* block = FindText(piece->bytes, piece->length, "BLOCK ")) {
            CopyField(fields->blockLine, HEADER_LINE_FIELD_SIZE, block, restFrom(block));
        }
    }
}

// Header lines kept as notes: an indented comment (ten blanks, no "@"), or a line that starts
// with a visible character and is none of the title, column headings, dashes or block line.
bool IsHeaderNote(const uint8_t* text, size_t length) {
    if (ContainsText(text, length, "MASTER RECORDER ")) {
        return false;
    }
    if (length >= 10 && std::memcmp(text, "          ", 10) == 0) {
        return std::memchr(text, '@', length) == nullptr;
    }
    return length > 0 && text[0] >= 0x21 && text[0] <= 0x7F &&
           std::memchr(text, '@', length) == nullptr && !ContainsText(text, length, "EDT") &&
           !ContainsText(text, length, "----") && !ContainsText(text, length, "BLOCK");
}

}  // namespace

bool DetectCmx(LineStream* decoded, LinePiece* piece) {
    decoded->position = 0;
    for (int k = 0; k < CMX_SEARCH_PIECES && ReadLinePiece(decoded, HEADER_LINE_LIMIT, piece);
         ++k) {
        if (piece->length >= 5 && std::memcmp(piece->bytes, "FCM: ", 5) == 0) {
            return true;
        }
    }
    return false;
}

bool FindEventStart(LineStream* decoded, LinePiece* piece, size_t* eventStart) {
    decoded->position = 0;
    while (ReadLinePiece(decoded, EVENT_SEARCH_LINE_LIMIT, piece)) {
        if (CountTimecodeSeparators(piece->bytes, piece->length) >= EVENT_LINE_SEPARATORS) {
            *eventStart = decoded->position - piece->length;
            return true;
        }
    }
    return false;
}

void ExtractHeaderFields(LineStream* decoded, size_t eventStart, LinePiece* piece,
                         HeaderFields* fields) {
    SetDefaults(fields);
    ExtractTitle(decoded, eventStart, piece, fields->title);
    ExtractReelAndBlock(decoded, eventStart, piece, fields);
}

size_t BuildRewriteStream(LineStream* decoded, size_t eventStart, LinePiece* piece,
                          LineStream* rewrite) {
    // Where the next kept piece goes: never past the start of the piece just read.
    size_t kept = 0;
    auto keep = [&]() {
        std::memmove(decoded->data.bytes + kept, piece->bytes, piece->length);
        kept += piece->length;
    };
    decoded->position = 0;
    // Unlike the title and reel passes, the piece that ends exactly at the event start is
    // still offered to the note filter.
    while (ReadLinePiece(decoded, HEADER_LINE_LIMIT, piece) && decoded->position <= eventStart) {
        if (IsHeaderNote(piece->bytes, piece->length)) {
            keep();
        }
    }
    size_t headerLength = kept;
    decoded->position = eventStart;
    while (ReadLinePiece(decoded, HEADER_LINE_LIMIT, piece)) {
        if (!ContainsText(piece->bytes, piece->length, "------")) {
            keep();
        }
    }
    StreamRelease(rewrite);
    rewrite->data = decoded->data;
    rewrite->data.length = kept;
    rewrite->position = 0;
    *decoded = LineStream{};
    return headerLength;
}
