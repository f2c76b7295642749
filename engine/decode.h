// Decoding of controller output: the first stage of a conversion. The source is read twice,
// once to choose the decoding mode and once to map every byte through that mode's table into
// the working buffer; then the lines after a "DM " mark are repaired, and every non-zero byte
// is written to the decoded stream.
#pragma once

#include <cstddef>
#include <cstdint>

#include "conversion_result.h"
#include "line_stream.h"
#include "memory.h"

// Where the source bytes come from: a file (through the platform layer) or memory.
struct ByteSource {
    void* context;
    // Reads up to `count` bytes; returns the number read, 0 at the end, -1 on a read error.
    long (*read)(void* context, uint8_t* into, size_t count);
    // Goes back to the first byte; false on error.
    bool (*rewind)(void* context);
};

enum DecodeMode {
    // No byte 0x31 ("1") anywhere: the controller wrote it with bit 7 set on its characters.
    DECODE_CONTROLLER,
    // A "1" somewhere: ordinary text, kept as it is but for control characters.
    DECODE_PLAIN,
};

// The working buffer holds the decoded text of one file: positions 0 to length - 1 are
// decoded bytes, zeros included (a zero is a dropped byte, left out of the decoded stream).
// Extra room beyond the source size: the controller's line end 0x8D becomes two bytes.
constexpr size_t WORKING_BUFFER_SLACK = 500;

// Obtains the working buffer with room for the source's size plus 500 bytes.
bool ObtainWorkingBuffer(ByteBuffer* text, uint32_t sourceSize);

// Reads the source from its start up to the first "1" (or the end) and chooses the mode.
// Returns false on a read error.
bool ChooseDecodeMode(ByteSource* source, DecodeMode* mode);

// Chooses the mode and decodes the whole source into the working buffer, growing it when the
// text outgrows it. RESULT_OPEN_FAILED on a read error, RESULT_NO_MEMORY when it cannot grow,
// RESULT_UNKNOWN_FORMAT for a source that begins with a UTF-16 byte-order mark (FF FE or FE FF).
ConversionResult DecodeEdlBytes(ByteSource* source, ByteBuffer* text, DecodeMode* mode);

// Joins the lines between each "DM " and the first "." or "," after it (removing CR LF pairs)
// and removes the blanks before that decimal mark back to the field label, as the controller's
// speed lines need. Only ever sets bytes to zero; takes time linear in `count`.
void RepairDmRuns(uint8_t* text, size_t count);

// Makes the decoded stream of the working buffer: every non-zero byte of positions 0 to
// length - 1, in order. The bytes are gathered in place and the buffer becomes the stream's,
// so the text is never copied.
void WriteDecodedStream(ByteBuffer* text, LineStream* decoded);
