#include "file_list_rules.h"

#include "file_names.h"

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
                              uint32_t options) {
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
        ++k;
    }
    job->options = options;
    job->fileCount = k;
    return JobFillResult{JOB_FILLED, -1};
}
