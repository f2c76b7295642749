// The window program's display of a conversion job, the progress dialog: it starts the
// worker, shows the file in hand and the running count the worker writes into it, one message
// box for every failed file and the tally at the end, and lets the user cancel. (The command
// line keeps its own display, in cli/.)
#pragma once

#include <windows.h>

#include "conversion_job.h"

// The dialog's private messages, both sent by the worker, which waits until the dialog has
// handled them. The dialog shows the message and, once the user has dismissed it, signals the
// job's ackEvent before it returns.
// A file failed or was refused: wParam its JobResult, lParam its display name.
constexpr UINT WM_JOB_REPORT = WM_APP + 1;
// Every file has been handled: the tally. wParam and lParam are 0.
constexpr UINT WM_JOB_DONE = WM_APP + 2;

// The dialog procedure of template IDD_PROGRESS. WM_INITDIALOG's lParam is the ConversionJob,
// filled with the files, the options and the output folder.
INT_PTR CALLBACK ProgressDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Runs the job in its progress dialog, modal to `owner`. Returns when the dialog has closed
// and the worker has ended, with the low word of the wParam of the WM_CLOSE that closed it: 0
// after the tally (the worker's own close), IDC_PROGRESS_CANCEL after Cancel or when the job
// could not be started.
INT_PTR RunProgressDialog(HWND owner, ConversionJob* job);
