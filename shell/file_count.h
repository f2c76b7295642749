// The file count label of the main window (Windows): how many files the list holds, drawn in
// yellow on black.
#pragma once

#include <windows.h>

// WM_DRAWITEM for the label: its text in yellow on black.
void DrawFileCountLabel(const DRAWITEMSTRUCT* item);

// Shows `count` in the label, "ファイル参照数:<count>".
void ShowFileCount(int count);
