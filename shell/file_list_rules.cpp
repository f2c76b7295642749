#include "file_list_rules.h"

#include <algorithm>

#include "file_names.h"
#include "job_result.h"
#include "output_file.h"
#include "resource.h"

bool IsConvertTarget(int stateImage) {
    return stateImage != STATE_IMAGE_EXCLUDED;
}

int NextSortDirection(int direction) {
    return direction == SORT_DIRECTION_ASCENDING ? SORT_DIRECTION_DESCENDING
                                                 : SORT_DIRECTION_ASCENDING;
}

int DirectedComparison(int textComparison, int direction) {
    if (direction != SORT_DIRECTION_DESCENDING) {
        return textComparison;
    }
    return textComparison > 0 ? -1 : textComparison < 0 ? 1 : 0;
}

ListButtons ButtonsAfterChange(int itemCount, bool anySelected, int targetCount) {
    ListButtons buttons{};
    buttons.toggle = anySelected;
    buttons.selectAll = itemCount != 0;
    buttons.remove = anySelected;
    buttons.convert = itemCount != 0 && targetCount != 0;
    buttons.shownCount = itemCount;
    return buttons;
}

DeleteButtons ButtonsDuringDelete(int itemCount, int lastTargetCount) {
    int remaining = itemCount - 1;
    DeleteButtons buttons{};
    buttons.selectAll = remaining != 0;
    buttons.convert = remaining != 0 && lastTargetCount != 0;
    buttons.shownCount = remaining;
    return buttons;
}

bool ClickSuspendsConvert(int x, int y) {
    return x >= 2 && x <= 20 && y <= 14;
}

void FormatUpdateTime(const CalendarTime& time, char16_t* out, size_t capacity) {
    const int numbers[] = {time.year, time.month, time.day, time.hour, time.minute};
    FillTemplate(u"%04d/%02d/%02d %02d:%02d", nullptr, 0, numbers, 5, out, capacity);
}

bool FitsJobFields(size_t folderLength, size_t nameLength) {
    return nameLength < JOB_NAME_CHARS && folderLength < JOB_PATH_CHARS &&
           folderLength + 1 + nameLength < JOB_PATH_CHARS;
}

JobFillResult FillJobFromList(ConversionJob* job, int rowCount, ReadListedFile read, void* context,
                              uint32_t options, int rowOfFile[MAX_JOB_FILES]) {
    ListedFile file;
    char16_t fullPath[JOB_PATH_CHARS];
    int k = 0;
    for (int row = 0; row < rowCount; ++row) {
        file.stateImage = 0;
        file.name[0] = 0;
        file.location[0] = 0;
        read(context, row, &file);
        if (!IsConvertTarget(file.stateImage)) {
            continue;
        }
        if (k == MAX_JOB_FILES) {
            return JobFillResult{JOB_TOO_MANY_FILES, row};
        }
        if (!JoinPath(file.location, u'\\', file.name, fullPath, JOB_PATH_CHARS) ||
            !SetJobFile(job, k, fullPath, file.name)) {
            return JobFillResult{JOB_PATH_TOO_LONG, row};
        }
        rowOfFile[k] = row;
        ++k;
    }
    job->options = options;
    job->fileCount = k;
    for (JobResult& result : job->results) {
        result = FILE_NOT_REACHED;
    }
    return JobFillResult{JOB_FILLED, -1};
}

ResultLook LookOfResult(int32_t result) {
    switch (result) {
        case ROW_WITHOUT_RESULT:
            return ResultLook{0, ROW_ICON_FILE};
        case FILE_NOT_REACHED:
            return ResultLook{IDS_RESULT_NOT_REACHED, ROW_ICON_FILE};
        case FILE_CONVERTED:
            return ResultLook{IDS_RESULT_CONVERTED, ROW_ICON_CONVERTED};
        case FILE_CMX_FORMAT:
            return ResultLook{IDS_RESULT_CMX_FORMAT, ROW_ICON_FAILED};
        case FILE_UNKNOWN_FORMAT:
            return ResultLook{IDS_RESULT_UNKNOWN_FORMAT, ROW_ICON_FAILED};
        case FILE_OPEN_FAILED:
            return ResultLook{IDS_RESULT_OPEN_FAILED, ROW_ICON_FAILED};
        case FILE_WRITE_FAILED:
            return ResultLook{IDS_RESULT_WRITE_FAILED, ROW_ICON_FAILED};
        case FILE_NO_MEMORY:
            return ResultLook{IDS_RESULT_NO_MEMORY, ROW_ICON_FAILED};
        // The column says what went wrong; the message names the output ("C_" or "CMX_").
        case FILE_OUTPUT_IS_SOURCE:
        case FILE_CMX_OUTPUT_IS_SOURCE:
            return ResultLook{IDS_RESULT_OUTPUT_IS_SOURCE, ROW_ICON_FAILED};
        case FILE_NAME_TOO_LONG:
        case FILE_CMX_NAME_TOO_LONG:
            return ResultLook{IDS_RESULT_NAME_TOO_LONG, ROW_ICON_FAILED};
        case FILE_CMX_WRITE_FAILED:
        case FILE_CMX_WRITE_FAILED_EARLIER_KEPT:
            return ResultLook{IDS_RESULT_CMX_WRITE_FAILED, ROW_ICON_FAILED};
        case FILE_EVENTS_OUTPUT_IS_SOURCE:
        case FILE_PULL_OUTPUT_IS_SOURCE:
            return ResultLook{IDS_RESULT_OUTPUT_IS_SOURCE, ROW_ICON_FAILED};
        case FILE_EVENTS_NAME_TOO_LONG:
        case FILE_PULL_NAME_TOO_LONG:
            return ResultLook{IDS_RESULT_NAME_TOO_LONG, ROW_ICON_FAILED};
        case FILE_EVENTS_WRITE_FAILED:
        case FILE_PULL_WRITE_FAILED:
            return ResultLook{IDS_RESULT_TABLE_WRITE_FAILED, ROW_ICON_FAILED};
        case FILE_EVENTS_NAME_TAKEN:
        case FILE_PULL_NAME_TAKEN:
            return ResultLook{IDS_RESULT_NAME_TAKEN, ROW_ICON_FAILED};
        case FILE_BATCH_PULL_WRITE_FAILED:
            break;  // no file's outcome
    }
    // An outcome this table does not know yet is still shown as a failure, never as nothing.
    return ResultLook{IDS_RESULT_FAILED, ROW_ICON_FAILED};
}

namespace {

// Appends a filled pattern at `*length` (after a line break when `newLine`), keeping the text
// terminated.
void AppendLine(bool newLine, const char16_t* pattern, const char16_t* text, const int* numbers,
                size_t numberCount, char16_t* out, size_t capacity, size_t* length) {
    if (*length + 2 >= capacity) {
        return;
    }
    if (newLine) {
        out[(*length)++] = u'\n';
        out[*length] = 0;
    }
    const char16_t* texts[] = {text};
    *length += FillTemplate(pattern, texts, text != nullptr ? 1 : 0, numbers, numberCount,
                            out + *length, capacity - *length);
}

}  // namespace

size_t FormatRowTip(const char16_t* path, const char16_t* exportName, const CmxReport* report,
                    const RowTipTexts& texts, char16_t* out, size_t capacity) {
    if (capacity == 0) {
        return 0;
    }
    out[0] = 0;
    size_t length = 0;
    AppendLine(false, u"%s", path, nullptr, 0, out, capacity, &length);
    if (report == nullptr) {
        return length;
    }
    const int counts[] = {static_cast<int>(report->eventsWritten),
                          static_cast<int>(report->dissolvesSplit)};
    AppendLine(true, texts.exportCounts, exportName, counts, 2, out, capacity, &length);
    if (report->keptAsComments > 0) {
        const int kept = static_cast<int>(report->keptAsComments);
        AppendLine(true, texts.keptEvents, nullptr, &kept, 1, out, capacity, &length);
        size_t listed = std::min<size_t>(report->keptAsComments, CMX_REPORT_NUMBERS);
        for (size_t k = 0; k < listed; ++k) {
            const int number = static_cast<int>(report->keptEventNumbers[k]);
            AppendLine(false, u" %04d", nullptr, &number, 1, out, capacity, &length);
        }
        if (report->keptAsComments > CMX_REPORT_NUMBERS) {
            AppendLine(false, u" …", nullptr, nullptr, 0, out, capacity, &length);
        }
    }
    const int renamed = static_cast<int>(report->reelsRenamed);
    AppendLine(true, texts.renamedReels, nullptr, &renamed, 1, out, capacity, &length);
    return length;
}

bool SameFolderPath(const char16_t* a, const char16_t* b) {
    for (; *a != 0 && *b != 0; ++a, ++b) {
        if (UpperCaseUnit(*a) != UpperCaseUnit(*b)) {
            return false;
        }
    }
    return *a == *b;
}

const char16_t* OutputToSelect(const char16_t* outputFolder, const char16_t* resultFolder,
                               const char16_t* lastOutput) {
    if (lastOutput[0] == 0 || !SameFolderPath(outputFolder, resultFolder)) {
        return nullptr;
    }
    return lastOutput;
}
