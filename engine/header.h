// Format recognition and header extraction: the second stage of a conversion. It refuses CMX
// edit lists and files without an event line, gathers the title, reel and block lines for the
// banner, and builds the rewrite stream: the header notes worth keeping, then every line from
// the first event line on.
#pragma once

#include <cstddef>
#include <cstdint>

#include "line_stream.h"

// A piece holds at most 137 bytes when read for the header, so these fields always hold a
// whole title ("@" and 137 bytes) or a whole reel or block text, never a cut one.
constexpr size_t TITLE_FIELD_SIZE = 140;
constexpr size_t HEADER_LINE_FIELD_SIZE = 140;

constexpr char DEFAULT_TITLE[] = "@EDL SONY BVE-9100";
constexpr char DEFAULT_REEL_LINE[] = "MASTER RECORDER REEL MAST\r\n";
constexpr char DEFAULT_BLOCK_LINE[] = "BLOCK 001\r\n";

// The three header texts the banner carries, each NUL-terminated and with the line end it had
// in the file (the default title has none).
struct HeaderFields {
    char title[TITLE_FIELD_SIZE];
    char reelLine[HEADER_LINE_FIELD_SIZE];
    char blockLine[HEADER_LINE_FIELD_SIZE];
};

// True when one of the first ten pieces begins with "FCM: ": a CMX edit list.
bool DetectCmx(LineStream* decoded, LinePiece* piece);

// Finds the first piece (read with the 256-byte limit) that holds twelve or more of ":", "."
// and "," together: the first event line. Returns false when there is none.
bool FindEventStart(LineStream* decoded, LinePiece* piece, size_t* eventStart);

// Reads the title, the reel line and the block line from the header before the event start.
void ExtractHeaderFields(LineStream* decoded, size_t eventStart, LinePiece* piece,
                         HeaderFields* fields);

// Makes the rewrite stream: the header notes, then the body without dashed lines. Every piece
// kept is written no later in the text than it was read, so the decoded stream's bytes are
// gathered in place and become the rewrite stream's; the decoded stream is left empty. Returns
// the length of the header notes, which the body follows.
size_t BuildRewriteStream(LineStream* decoded, size_t eventStart, LinePiece* piece,
                          LineStream* rewrite);
