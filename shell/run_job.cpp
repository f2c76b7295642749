#include "run_job.h"

#include <algorithm>
#include <string>
#include <unordered_map>

#include "conversion_options.h"
#include "file_list.h"
#include "file_list_rules.h"
#include "message_box.h"
#include "messages.h"
#include "output_file.h"
#include "output_folder.h"
#include "progress_dialog.h"
#include "resource.h"
#include "shell.h"

namespace {

constexpr size_t RESULT_TEXT_CHARS = 64;
constexpr size_t TIP_TEXT_CHARS = 128;
// Room for a row's tip: its path and what the export wrote.
constexpr size_t ROW_TIP_CHARS = JOB_PATH_CHARS + 4 * TIP_TEXT_CHARS;

// What the last job's export wrote for each file it converted, by the file's name (the list
// holds each name once): a row's tip tells it.
std::unordered_map<std::u16string, CmxReport> exportReports;

int ImageOf(RowIcon icon) {
    switch (icon) {
        case ROW_ICON_CONVERTED:
            return shell.convertedImage;
        case ROW_ICON_FAILED:
            return shell.failedImage;
        case ROW_ICON_FILE:
            break;
    }
    return shell.fileImage >= 0 ? shell.fileImage : I_IMAGENONE;
}

// Appends a pattern of the string table filled with `number` to the row's text.
void AppendCount(unsigned patternId, int number, char16_t* text, size_t capacity) {
    wchar_t pattern[RESULT_TEXT_CHARS];
    LoadResourceText(patternId, pattern, RESULT_TEXT_CHARS);
    size_t length = Utf16Length(text);
    const int numbers[] = {number};
    FillTemplate(AsUtf16(pattern), nullptr, 0, numbers, 1, text + length, capacity - length);
}

// The row's outcome: kept as the row's item data, shown in the result column and by its icon.
// `report`, for a converted row of a job that wrote lists beside it, puts what each list holds
// into the text: "変換済み・CMX 9件・コメント行 4・表 9行・テープ 8本".
void ShowRowResult(int row, int32_t result, const ConversionReport* report = nullptr) {
    ResultLook look = LookOfResult(result);
    SetRowOutcome(row, result, ImageOf(look.icon));
    char16_t text[RESULT_TEXT_CHARS] = {};
    uint32_t written = report != nullptr && result == FILE_CONVERTED ? report->written : 0;
    if ((written & OPTION_EXPORT_CMX) != 0) {
        wchar_t pattern[RESULT_TEXT_CHARS];
        LoadResourceText(IDS_RESULT_CONVERTED_CMX, pattern, RESULT_TEXT_CHARS);
        const int numbers[] = {static_cast<int>(report->cmx.eventsWritten),
                               static_cast<int>(report->cmx.keptAsComments)};
        FillTemplate(AsUtf16(pattern), nullptr, 0, numbers, 2, text, RESULT_TEXT_CHARS);
    } else if (look.textId != 0) {
        LoadResourceText(look.textId, AsWide(text), RESULT_TEXT_CHARS);
    }
    if ((written & OPTION_EXPORT_EVENTS) != 0) {
        AppendCount(IDS_RESULT_EVENTS, static_cast<int>(report->events.rows), text,
                    RESULT_TEXT_CHARS);
    }
    if ((written & OPTION_EXPORT_PULL) != 0) {
        AppendCount(IDS_RESULT_PULL, static_cast<int>(report->pull.tapes), text, RESULT_TEXT_CHARS);
    }
    SetRowText(row, COLUMN_RESULT, text);
}

// What the export wrote makes a row's text longer than any outcome alone: the column widens to
// it (the list scrolls sideways to the folders).
void WidenResultColumn() {
    int width =
        static_cast<int>(SendMessageW(shell.fileList, LVM_GETCOLUMNWIDTH, COLUMN_RESULT, 0));
    SendMessageW(shell.fileList, LVM_SETCOLUMNWIDTH, COLUMN_RESULT, LVSCW_AUTOSIZE);
    int needed =
        static_cast<int>(SendMessageW(shell.fileList, LVM_GETCOLUMNWIDTH, COLUMN_RESULT, 0));
    SendMessageW(shell.fileList, LVM_SETCOLUMNWIDTH, COLUMN_RESULT, std::max(width, needed));
}

// After a job every row shows what became of it in this job: the rows it took their outcome,
// the others nothing. The folder written to and the last file written are kept for the
// commands that open them.
void ShowJobResults(const int rowOfFile[MAX_JOB_FILES]) {
    BeginChangingRows();
    int count = CountRows();
    for (int row = 0; row < count; ++row) {
        ShowRowResult(row, ROW_WITHOUT_RESULT);
    }
    bool exported = (conversionJob.options & OPTION_EXPORT_CMX) != 0;
    shell.lastOutput[0] = 0;
    exportReports.clear();
    for (int k = 0; k < conversionJob.fileCount; ++k) {
        JobResult result = conversionJob.results[k];
        ShowRowResult(rowOfFile[k], result, &conversionJob.reports[k]);
        if (result == FILE_CONVERTED) {
            FormatOutputPath(conversionJob.outputFolder, OUTPUT_NAME_PREFIX,
                             conversionJob.displayNames[k], shell.lastOutput, JOB_PATH_CHARS);
            if (exported) {
                exportReports[conversionJob.displayNames[k]] = conversionJob.reports[k].cmx;
            }
        }
    }
    if ((conversionJob.options & OPTIONS_EXPORTING) != 0) {
        WidenResultColumn();
    }
    size_t length = Utf16Length(conversionJob.outputFolder);
    std::copy(conversionJob.outputFolder, conversionJob.outputFolder + length + 1,
              shell.resultFolder);
    EndChangingRows();
}

// Reads one row for the job; the texts only of a convert target.
void ReadListedRow(void*, int row, ListedFile* file) {
    file->stateImage = RowStateImage(row);
    if (IsConvertTarget(file->stateImage)) {
        ReadRowText(row, COLUMN_NAME, file->name, JOB_NAME_CHARS);
        ReadRowText(row, COLUMN_LOCATION, file->location, JOB_PATH_CHARS);
    }
}

// The job in the progress dialog, one batch for the pull list. The output folder stays shut
// while the job writes into it.
void RunJob(HWND window, const int rowOfFile[MAX_JOB_FILES]) {
    shell.jobRunning = true;
    ShowOutputFolderState();
    PullBatch batch;
    conversionJob.batch = &batch;
    conversionJob.batchEnds = true;
    RunProgressDialog(window, &conversionJob);
    conversionJob.batch = nullptr;
    ReleasePullBatch(&batch);
    shell.jobRunning = false;
    ShowOutputFolderState();
    ShowJobResults(rowOfFile);
}

}  // namespace

// The modal progress dialog keeps the main window from taking input while the job runs.
void ConvertTargets(HWND window) {
    // A folder that is gone or cannot take files is said once, before any file is tried, not
    // once for every file.
    if (!IsUsableFolder(conversionJob.outputFolder)) {
        const char16_t* folder =
            conversionJob.outputFolder[0] != 0 ? conversionJob.outputFolder : u".";
        ShowMessage(window, IDS_MESSAGE_CAPTION, MB_OK | MB_ICONWARNING, IDS_OUTPUT_FOLDER_UNUSABLE,
                    {folder});
        SetFocus(shell.fileList);
        return;
    }
    static int rowOfFile[MAX_JOB_FILES];
    JobFillResult filled =
        FillJobFromList(&conversionJob, CountRows(), ReadListedRow, nullptr,
                        shell.options | ExportOptionBits(shell.exportSettings), rowOfFile);
    conversionJob.cmxFramesPerSecond = shell.exportSettings.framesPerSecond;
    conversionJob.handleSeconds = DEFAULT_HANDLE_SECONDS;
    if (filled.outcome == JOB_FILLED) {
        RunJob(window, rowOfFile);
    } else if (filled.outcome == JOB_TOO_MANY_FILES) {
        ShowMessage(window, IDS_MESSAGE_CAPTION, MB_OK | MB_ICONWARNING, IDS_TOO_MANY_TARGETS, {},
                    {MAX_JOB_FILES});
    } else {
        ListedFile file;
        ReadListedRow(nullptr, filled.row, &file);
        ShowMessage(window, IDS_MESSAGE_CAPTION, MB_OK | MB_ICONWARNING,
                    MessageText(MESSAGE_PATH_TOO_LONG), {file.name, file.location});
    }
    SetFocus(shell.fileList);
}

bool ReadRowOutput(int row, const char16_t* prefix, char16_t* out) {
    char16_t name[JOB_NAME_CHARS];
    ReadRowText(row, COLUMN_NAME, name, JOB_NAME_CHARS);
    return FormatOutputPath(shell.resultFolder, prefix, name, out, JOB_PATH_CHARS);
}

bool RowExported(int row) {
    char16_t name[JOB_NAME_CHARS];
    ReadRowText(row, COLUMN_NAME, name, JOB_NAME_CHARS);
    return RowOutcome(row) == FILE_CONVERTED && exportReports.count(name) != 0;
}

// A row the last job converted with the export also tells what the export wrote.
void OnRowTip(NMLVGETINFOTIPW* tip) {
    if (tip->iItem < 0 || tip->pszText == nullptr || tip->cchTextMax <= 0) {
        return;
    }
    static char16_t path[JOB_PATH_CHARS];
    static char16_t text[ROW_TIP_CHARS];
    char16_t name[JOB_NAME_CHARS];
    char16_t exportName[JOB_NAME_CHARS + OUTPUT_NAME_EXTRA];
    ReadRowPath(tip->iItem, path);
    ReadRowText(tip->iItem, COLUMN_NAME, name, JOB_NAME_CHARS);
    FormatOutputPath(u"", CMX_OUTPUT_NAME_PREFIX, name, exportName,
                     JOB_NAME_CHARS + OUTPUT_NAME_EXTRA);
    const CmxReport* report = RowExported(tip->iItem) ? &exportReports[name] : nullptr;
    wchar_t patterns[3][TIP_TEXT_CHARS];
    LoadResourceText(IDS_TIP_CMX_COUNTS, patterns[0], TIP_TEXT_CHARS);
    LoadResourceText(IDS_TIP_CMX_KEPT, patterns[1], TIP_TEXT_CHARS);
    LoadResourceText(IDS_TIP_CMX_REELS, patterns[2], TIP_TEXT_CHARS);
    RowTipTexts texts{AsUtf16(patterns[0]), AsUtf16(patterns[1]), AsUtf16(patterns[2])};
    FormatRowTip(path, exportName, report, texts, text, ROW_TIP_CHARS);
    lstrcpynW(tip->pszText, AsWide(text), tip->cchTextMax);
}
