#include "progress_dialog.h"

#include <commctrl.h>

#include <new>

#include "message_box.h"
#include "messages.h"
#include "resource.h"

namespace {

// What the dialog keeps while it is open; everything else it uses lives in the job.
struct ProgressDialog {
    ConversionJob* job;
    HWND dialog;
    HWND fileLabel;
    HWND statusLabel;
    HWND progressBar;
    PlatformThread* worker;
    bool reporting;  // a report's message box is on screen
    bool closing;    // the dialog has been closed and the job stopped
    WORD result;     // what the dialog ends with
};

ProgressDialog* DialogState(HWND dialog) {
    return reinterpret_cast<ProgressDialog*>(GetWindowLongPtrW(dialog, DWLP_USER));
}

// --- The worker's side: each operation is a synchronous send, carried out on the UI thread ----

// The dialog's handles, which the worker reaches through the display's context; they stay valid
// until the worker has ended, since the dialog waits for it before it goes.
const ProgressDialog& DialogOf(const ConversionJob* job) {
    return *static_cast<const ProgressDialog*>(job->display.context);
}

void ShowFileNameInDialog(ConversionJob* job, int index) {
    SendMessageW(DialogOf(job).fileLabel, WM_SETTEXT, 0,
                 reinterpret_cast<LPARAM>(job->displayNames[index]));
}

void ShowCountInDialog(ConversionJob* job, int, const char16_t* countText) {
    SendMessageW(DialogOf(job).statusLabel, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(countText));
}

void StepProgressInDialog(ConversionJob* job, int) {
    SendMessageW(DialogOf(job).progressBar, PBM_STEPIT, 0, 0);
}

// A file's failure, or the batch's pull list's (index -1), named by its own name.
void ReportFailureToDialog(ConversionJob* job, int index, JobResult code) {
    const char16_t* name = index >= 0 ? job->displayNames[index] : BATCH_PULL_LIST_NAME;
    SendMessageW(DialogOf(job).dialog, WM_JOB_REPORT, static_cast<WPARAM>(code),
                 reinterpret_cast<LPARAM>(name));
}

void ShowTallyInDialog(ConversionJob* job) {
    SendMessageW(DialogOf(job).dialog, WM_JOB_DONE, 0, 0);
}

void CloseDialogFromWorker(ConversionJob* job) {
    SendMessageW(DialogOf(job).dialog, WM_CLOSE, 0, 0);
}

// --- The dialog's side -----------------------------------------------------------------------

// Waits until the worker has ended. The worker may still be converting the file in hand and
// sends its label texts, progress steps and reports on the way, each blocking it until this
// thread has handled it, so the wait goes on handling messages. A quit message met here is
// posted again for the message loop it belongs to.
void WaitForWorker(PlatformThread* worker) {
    HANDLE thread = ThreadNativeHandle(worker);
    bool quit = false;
    WPARAM quitCode = 0;
    for (;;) {
        DWORD woke =
            MsgWaitForMultipleObjectsEx(1, &thread, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        if (woke != WAIT_OBJECT_0 + 1) {
            break;  // the worker has ended (or the wait failed: JoinThread still waits)
        }
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                quit = true;
                quitCode = message.wParam;
                continue;
            }
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    if (quit) {
        PostQuitMessage(static_cast<int>(quitCode));
    }
}

// Ends the dialog once the worker has ended, then releases the thread, the event and the lock.
void FinishClosing(HWND dialog, ProgressDialog* state) {
    // The worker may be blocked in the send being handled (its own closing message, a label
    // text, a report): answer it now, or it could never reach its end.
    if (InSendMessage()) {
        ReplyMessage(0);
    }
    if (state->worker != nullptr) {
        WaitForWorker(state->worker);
        JoinThread(state->worker);
        state->worker = nullptr;
    }
    ReleaseJobObjects(state->job);
    SetWindowLongPtrW(dialog, DWLP_USER, 0);
    WORD result = state->result;
    delete state;
    EndDialog(dialog, result);
}

void OnInitDialog(HWND dialog, ConversionJob* job) {
    auto* state = new (std::nothrow) ProgressDialog{};
    if (state == nullptr) {
        ShowMessage(dialog, IDS_MESSAGE_CAPTION, MB_OK | MB_ICONWARNING,
                    MessageText(MESSAGE_JOB_NOT_STARTED));
        EndDialog(dialog, IDC_PROGRESS_CANCEL);
        return;
    }
    state->job = job;
    SetWindowLongPtrW(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(state));
    state->dialog = dialog;
    state->progressBar = GetDlgItem(dialog, IDC_PROGRESS_BAR);
    state->fileLabel = GetWindow(dialog, GW_CHILD);  // first in the template, without an id
    state->statusLabel = GetDlgItem(dialog, IDC_PROGRESS_STATUS);
    SendMessageW(state->progressBar, PBM_SETRANGE, 0, MAKELPARAM(0, job->fileCount));
    SendMessageW(state->progressBar, PBM_SETSTEP, 1, 0);
    job->display = JobDisplay{ShowFileNameInDialog,
                              ShowCountInDialog,
                              StepProgressInDialog,
                              ReportFailureToDialog,
                              ShowTallyInDialog,
                              CloseDialogFromWorker,
                              state};
    state->worker = StartJobWorker(job);
    if (state->worker == nullptr) {
        // Without the event or the worker nothing would ever end the dialog but a cancel.
        ShowMessage(dialog, IDS_MESSAGE_CAPTION, MB_OK | MB_ICONWARNING,
                    MessageText(MESSAGE_JOB_NOT_STARTED));
        state->closing = true;
        state->result = IDC_PROGRESS_CANCEL;
        FinishClosing(dialog, state);
        return;
    }
    // Shown now, not when the modal loop first finds its queue empty: a first file that fails
    // at once would otherwise have its warning up before the dialog is on screen.
    ShowWindow(dialog, SW_SHOWNORMAL);
}

// The Cancel button and the worker's closing message both end here; any other WM_CLOSE acts
// as a cancel. The dialog disappears at once; it ends when the worker has finished the file
// in hand.
void OnClose(HWND dialog, WPARAM wParam) {
    ProgressDialog* state = DialogState(dialog);
    if (state == nullptr || state->closing) {
        return;
    }
    state->closing = true;
    state->result = LOWORD(wParam);
    StopJob(state->job);
    ShowWindow(dialog, SW_HIDE);
    // A report's message box is still up: its handler finishes the closing once it returns.
    if (!state->reporting) {
        FinishClosing(dialog, state);
    }
}

void OnCommand(HWND dialog, WPARAM wParam, LPARAM lParam) {
    // Only Cancel: IDCANCEL (Escape) and IDOK (Enter) leave the job running.
    if (LOWORD(wParam) == IDC_PROGRESS_CANCEL) {
        SendMessageW(dialog, WM_CLOSE, wParam, lParam);
    }
}

// Adds a line to the tally: the string `patternId` filled with `numbers`.
size_t AddTallyLine(char16_t* text, size_t length, UINT patternId,
                    std::initializer_list<int> numbers) {
    if (length + 1 >= JOB_MESSAGE_CHARS) {
        return length;
    }
    wchar_t pattern[JOB_MESSAGE_CHARS];
    LoadResourceText(patternId, pattern, JOB_MESSAGE_CHARS);
    text[length++] = u'\n';
    return length + FillTemplate(AsUtf16(pattern), nullptr, 0, numbers.begin(), numbers.size(),
                                 text + length, JOB_MESSAGE_CHARS - length);
}

// The tally, and under it, when files failed, how many and where to see which; then what each
// list wrote, and the batch's pull list. Its icon warns when no file was converted.
void ShowTally(HWND dialog, const ConversionJob* job) {
    int converted = job->fileCount - job->failedCount;
    char16_t text[JOB_MESSAGE_CHARS];
    size_t length = FormatJobTally(job->fileCount, converted, text, JOB_MESSAGE_CHARS);
    if (job->failedCount > 0) {
        length = AddTallyLine(text, length, IDS_TALLY_FAILED, {job->failedCount});
    }
    ListTotals lists = SumListReports(*job);
    if (lists.cmxFiles > 0) {
        length = AddTallyLine(
            text, length, IDS_TALLY_CMX,
            {lists.cmxFiles, static_cast<int>(lists.cmx.eventsWritten),
             static_cast<int>(lists.cmx.dissolvesSplit), static_cast<int>(lists.cmx.keptAsComments),
             static_cast<int>(lists.cmx.reelsRenamed)});
    }
    if (lists.eventFiles > 0) {
        length = AddTallyLine(text, length, IDS_TALLY_EVENTS,
                              {lists.eventFiles, static_cast<int>(lists.eventRows)});
    }
    if (lists.pullFiles > 0) {
        length = AddTallyLine(text, length, IDS_TALLY_PULL, {lists.pullFiles});
    }
    if (job->batchWritten) {
        AddTallyLine(
            text, length, IDS_TALLY_BATCH_PULL,
            {static_cast<int>(job->batchReport.tapes), static_cast<int>(job->batchReport.ranges)});
    }
    UINT icon = converted == 0 && job->failedCount > 0 ? MB_ICONWARNING : MB_ICONINFORMATION;
    ShowMessage(dialog, IDS_MESSAGE_CAPTION, MB_OK | icon, u"%s", {text});
}

// A report's message box is about to come up: the dialog that will show it, or null after a
// cancel, when nobody is to see a report and the worker does not wait for it.
ProgressDialog* BeginReport(HWND dialog) {
    ProgressDialog* state = DialogState(dialog);
    if (state == nullptr || state->closing) {
        return nullptr;
    }
    state->reporting = true;
    return state;
}

// The box has been dismissed: the worker goes on, and a close that came meanwhile finishes.
void EndReport(HWND dialog, ProgressDialog* state) {
    state->reporting = false;
    SignalEvent(state->job->ackEvent);
    if (state->closing) {
        FinishClosing(dialog, state);
    }
}

void OnJobReport(HWND dialog, JobResult code, const char16_t* displayName) {
    ProgressDialog* state = BeginReport(dialog);
    if (state == nullptr) {
        return;
    }
    char16_t text[JOB_MESSAGE_CHARS];
    FormatFileFailure(code, displayName != nullptr ? displayName : u"", text, JOB_MESSAGE_CHARS);
    ShowMessage(dialog, IDS_MESSAGE_CAPTION, MB_OK | MB_ICONWARNING, u"%s", {text});
    EndReport(dialog, state);
}

// The tally stands alone on the screen.
void OnJobDone(HWND dialog) {
    ProgressDialog* state = BeginReport(dialog);
    if (state == nullptr) {
        return;
    }
    ShowWindow(dialog, SW_HIDE);
    ShowTally(dialog, state->job);
    EndReport(dialog, state);
}

}  // namespace

INT_PTR CALLBACK ProgressDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            OnInitDialog(dialog, reinterpret_cast<ConversionJob*>(lParam));
            return FALSE;  // no initial keyboard focus
        case WM_COMMAND:
            OnCommand(dialog, wParam, lParam);
            return TRUE;
        case WM_CLOSE:
            OnClose(dialog, wParam);
            return TRUE;
        case WM_JOB_REPORT:
            OnJobReport(dialog, static_cast<JobResult>(wParam),
                        reinterpret_cast<const char16_t*>(lParam));
            return TRUE;
        case WM_JOB_DONE:
            OnJobDone(dialog);
            return TRUE;
    }
    return FALSE;
}

INT_PTR RunProgressDialog(HWND owner, ConversionJob* job) {
    return DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_PROGRESS), owner,
                           ProgressDialogProc, reinterpret_cast<LPARAM>(job));
}
