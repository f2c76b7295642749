// The texts both front ends show, in one table: the job's messages (a failed file, the tally,
// the running count, refused files) and the command line's own. The window program's other
// texts (captions, menus, its own warnings) are in its string table.
#pragma once

#include <cstddef>

#include "job_result.h"

enum MessageId {
    MESSAGE_RUNNING_COUNT,   // "変換中…(%d/%d)": the file's position and the file count
    MESSAGE_TALLY,           // the file count and the converted count
    MESSAGE_DUPLICATE_NAME,  // a name given twice: the name and its folder
    MESSAGE_PATH_TOO_LONG,   // a path longer than a job holds: the name and its folder
    MESSAGE_JOB_NOT_STARTED,
    MESSAGE_CLI_USAGE,
    MESSAGE_CLI_UNKNOWN_OPTION,  // the option
    MESSAGE_CLI_NO_FILES,
    MESSAGE_CLI_BAD_EPOCH,
    MESSAGE_CLI_FOLDER_TOO_LONG,
    MESSAGE_CLI_FOLDER_UNUSABLE,  // the output folder as given
    MESSAGE_CLI_BAD_FRAME_RATE,   // the rate as given
    MESSAGE_CLI_CMX_SETTING_ALONE,
    MESSAGE_CLI_DROP_FRAME_AT_30,
    MESSAGE_CLI_OPTION_NEEDS_VALUE,  // the option as written
    MESSAGE_CLI_EMPTY_NAME,
    MESSAGE_CLI_LINE_TOO_LONG,  // the line number of the name list
    MESSAGE_CLI_LINE_HAS_NUL,   // the line number of the name list
    MESSAGE_CLI_NAME_LIST_UNREADABLE,
    MESSAGE_CLI_BAD_HANDLES,  // the value as given
    MESSAGE_CLI_HANDLES_ALONE,
    MESSAGE_COUNT_OF_IDS,
};

// The text of a message, a template where its comment names what fills it.
const char16_t* MessageText(MessageId id);

// The message of a failed or refused file's code, each "%s" standing for its display name; null
// for a code that is neither.
const char16_t* ResultMessage(JobResult code);

// Capacity of a composed message, terminator included: the longest template with the
// longest display name (259 units) in each of its places fits, so no message is ever cut.
constexpr size_t JOB_MESSAGE_CHARS = 2048;

// The message for a failed file, naming it.
size_t FormatFileFailure(JobResult code, const char16_t* displayName, char16_t* out,
                         size_t capacity);

// The tally shown at the end of a job: "<fileCount>個中<converted>個の変換が終了しました。"
size_t FormatJobTally(int fileCount, int convertedCount, char16_t* out, size_t capacity);

// "変換中…(position/fileCount)".
size_t FormatCountText(int position, int fileCount, char16_t* out, size_t capacity);
