// A list of names read from standard input, one a line ("find /edl -name '*.EDL' | tamsel-cli
// -"). The reader holds at most one line of the longest path at a time, whatever comes in (a
// single line of gigabytes, /dev/zero), and looks at the stop before each read, so that Ctrl+C
// ends it at once. How a line's bytes become a path is the platform's (NameLineToUtf16).
#pragma once

#include <cstddef>
#include <cstdint>

// `read` returns this when a stop signal cut its wait short: the reader then looks at the stop.
constexpr long NAME_INPUT_INTERRUPTED = -2;

// Where the names come from.
struct NameListInput {
    // Reads up to `count` bytes: the number read, 0 at the end, -1 when the input cannot be
    // read, or NAME_INPUT_INTERRUPTED.
    long (*read)(void* context, uint8_t* into, size_t count);
    // Whether the run has been asked to stop.
    bool (*stopped)(void* context);
    void* context;
};

enum NameLineKind {
    NAME_LINE_NAME,      // a name
    NAME_LINE_TOO_LONG,  // longer than the longest path: nothing of it was kept
    NAME_LINE_HAS_NUL,   // holds a NUL byte, which no name can hold
};

// A line that is not empty. Lines are numbered from 1 as an editor numbers them, empty ones
// counted too; a line ends with LF, and a CR before it is no part of the name.
struct NameLine {
    size_t number;
    NameLineKind kind;
    const char* name;  // the name's bytes, NUL-terminated; empty unless NAME_LINE_NAME
};

enum NameListEnd {
    NAME_LIST_ENDED,       // every line was read
    NAME_LIST_STOPPED,     // a stop came first: the rest is not read
    NAME_LIST_UNREADABLE,  // the input failed before its end
};

// Reads the whole list and hands each line that is not empty to `take`, in order. A UTF-8
// byte-order mark at the very start (an editor's) is dropped. A line of more than `longestLine`
// bytes is handed on once as NAME_LINE_TOO_LONG and the rest of it skipped unread into memory.
NameListEnd ReadNameList(const NameListInput& input, size_t longestLine,
                         void (*take)(void* context, const NameLine& line), void* takeContext);
