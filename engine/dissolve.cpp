#include "dissolve.h"

#include <cstring>

// Where the effect line goes: walk back from the line before the dissolve, line by line, while
// each line begins with the dissolve's event number; the effect line goes before the first line
// of that run. A line that does not begin with the number, an effect line among them, ends the
// run, so effect lines of several dissolves of one event stack in one place.
//
// Effect lines already recorded for a place (`effectOffset`) are not yet in the text: a walk
// that reaches that place stops there as it would at the effect lines themselves, and a walk
// that reaches lines already known to carry the number (up to `effectRunEnd`) stops there too.
// So a run of thousands of dissolves of one event costs no more than its length.
namespace {

constexpr size_t EFFECT_LINE_LENGTH = sizeof DISSOLVE_EFFECT_LINE - 1;
constexpr size_t EVENT_NUMBER_LENGTH = 4;

// Offset of the last line feed at or before `position`, or -1.
long LineFeedAtOrBefore(const ByteBuffer& text, long position) {
    while (position >= 0 && text.bytes[position] != '\n') {
        --position;
    }
    return position;
}

// The start of the line after the one that begins at `lineStart`.
size_t NextLineStart(const ByteBuffer& text, size_t lineStart) {
    const void* lineFeed = std::memchr(text.bytes + lineStart, '\n', text.length - lineStart);
    return lineFeed != nullptr
               ? static_cast<size_t>(static_cast<const uint8_t*>(lineFeed) - text.bytes) + 1
               : text.length;
}

bool BeginsWithNumber(const ByteBuffer& text, size_t lineStart, const char* number) {
    return lineStart + EVENT_NUMBER_LENGTH <= text.length &&
           std::memcmp(text.bytes + lineStart, number, EVENT_NUMBER_LENGTH) == 0;
}

bool WritePendingEffects(ByteBuffer* text, LineState* state) {
    if (state->effectCount == 0) {
        return true;
    }
    size_t count = state->effectCount;
    size_t offset = state->effectOffset;
    size_t added = count * EFFECT_LINE_LENGTH;
    // Make room once, then fill it; AppendOutput grows the text geometrically.
    char blank[EFFECT_LINE_LENGTH] = {};
    for (size_t k = 0; k < count; ++k) {
        if (!BufferAppend(text, blank, EFFECT_LINE_LENGTH)) {
            return false;
        }
    }
    std::memmove(text->bytes + offset + added, text->bytes + offset, text->length - added - offset);
    for (size_t k = 0; k < count; ++k) {
        std::memcpy(text->bytes + offset + k * EFFECT_LINE_LENGTH, DISSOLVE_EFFECT_LINE,
                    EFFECT_LINE_LENGTH);
    }
    state->effectCount = 0;
    return true;
}

}  // namespace

bool InsertDissolveEffect(ByteBuffer* text, const char* eventNumberField, size_t lineLength,
                          LineState* state) {
    state->dissolvePending = false;
    // Effect lines recorded right before this very line are the line before it: the new one
    // stacks on them.
    size_t lineStartOfDissolve = text->length - lineLength;
    if (state->effectCount > 0 && lineStartOfDissolve >= state->effectOffset &&
        lineStartOfDissolve - state->effectOffset < 2) {
        ++state->effectCount;
        return true;
    }
    long e = static_cast<long>(text->length) - static_cast<long>(lineLength) - 3;
    if (e <= 0) {
        return true;
    }
    long lineFeed = LineFeedAtOrBefore(*text, e);
    if (lineFeed < 0) {
        return true;
    }
    const size_t firstVisited = static_cast<size_t>(lineFeed) + 1;
    for (;;) {
        size_t lineStart = static_cast<size_t>(lineFeed) + 1;
        if (!BeginsWithNumber(*text, lineStart, eventNumberField)) {
            break;
        }
        bool pendingHere = state->effectCount > 0 && lineStart >= state->effectOffset &&
                           (lineStart == state->effectOffset || lineStart <= state->effectRunEnd);
        if (pendingHere) {
            ++state->effectCount;
            if (firstVisited > state->effectRunEnd) {
                state->effectRunEnd = firstVisited;
            }
            return true;
        }
        e = lineFeed - 1;
        if (e <= 0) {
            return true;  // the run reaches the start of the text: no place for the line
        }
        lineFeed = LineFeedAtOrBefore(*text, e);
        if (lineFeed < 0) {
            return true;
        }
    }
    // The line at lineFeed + 1 does not carry the number: the effect line goes after it.
    size_t place = NextLineStart(*text, static_cast<size_t>(lineFeed) + 1);
    if (state->effectCount > 0 && place == state->effectOffset) {
        ++state->effectCount;
        return true;
    }
    size_t shift = state->effectCount * EFFECT_LINE_LENGTH;  // pending lines are all before place
    if (!WritePendingEffects(text, state)) {
        return false;
    }
    state->effectCount = 1;
    state->effectOffset = place + shift;
    // The lines from `place` to the first one visited all carried the number (when the very
    // first line visited did not, this lies before `place` and vouches for nothing).
    state->effectRunEnd = firstVisited + shift;
    return true;
}

bool FlushDissolveEffects(ByteBuffer* text, LineState* state) {
    return WritePendingEffects(text, state);
}
