// The options of a conversion: bits of the option word that a front end copies into the job.
#pragma once

#include <cstdint>

// Internal data description lines (lines that start with a digit but are no event line) are
// left out of the output.
constexpr uint32_t OPTION_DELETE_INTERNAL_DATA = 0x2;
// Besides "C_" + name, the list is written as a CMX 3600 edit list "CMX_" + name, at the frame
// rate the request gives.
constexpr uint32_t OPTION_EXPORT_CMX = 0x4;
// The CMX export, the event table and the pull list count drop frame ("FCM: DROP FRAME"); only
// at 30 frames per second.
constexpr uint32_t OPTION_CMX_DROP_FRAME = 0x8;
// Besides "C_" + name, the event table "EVENTS_" + stem + ".csv", at the export's rate.
constexpr uint32_t OPTION_EXPORT_EVENTS = 0x10;
// Besides "C_" + name, the tape pull list "PULL_" + stem + ".csv", at the export's rate.
constexpr uint32_t OPTION_EXPORT_PULL = 0x20;
// Any of the lists written from the line items.
constexpr uint32_t OPTIONS_EXPORTING =
    OPTION_EXPORT_CMX | OPTION_EXPORT_EVENTS | OPTION_EXPORT_PULL;
