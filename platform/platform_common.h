// What the two sides of the platform layer share: the file faults tests inject, counted the
// same way on both. Private to the platform layer.
#pragma once

#include <cstddef>

#include "platform.h"

// How many of `count` bytes a read may take now: all of them, fewer once a read fault is near,
// or -1 when reads fail.
long AllowedRead(size_t count);
void CountRead(size_t count);

// How many of `count` bytes a write may put now: all, fewer before a write fault, or 0 when the
// disk counts as full.
size_t AllowedWrite(size_t count);
void CountWritten(size_t count);

// The faults in force for the creation, flush, close and rename of an output file.
const FileFaults& ActiveFileFaults();

// Each side's conversion of a text to code page 932, character by character: one that does not
// convert and back to itself becomes "?"; stops before a character that would not fit.
size_t ConvertCharactersToCodePage932(const char16_t* text, char* out, size_t capacity);

// Each side's conversion of one character of code page 932 (`length` is 1, or 2 for a lead
// byte and its trail byte) to one UTF-16 unit; false when the bytes are no character.
struct CodePage932Decoder;
CodePage932Decoder* OpenCodePage932Decoder();
bool DecodeCodePage932Character(CodePage932Decoder* decoder, const uint8_t* bytes, size_t length,
                                char16_t* unit);
void CloseCodePage932Decoder(CodePage932Decoder* decoder);

// The name of the new file an output is first written to, beside it: short (".tamsel-" and
// two hexadecimal numbers, at most 35 bytes), so that it fits wherever the output's own name
// fits, and different for every call in this process (`processId` tells processes apart).
constexpr size_t TEMPORARY_NAME_SIZE = 48;
void MakeTemporaryName(unsigned long processId, char* out);

// Whether StartThread is to fail (SetThreadStartFailure).
bool ThreadStartFails();
