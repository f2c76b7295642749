// The user guide (Windows): その他 > 使い方ガイド(H) and F1 open guide-ja.html beside the program
// in the program the system shows web pages with.
#pragma once

#include <windows.h>

// Opens the guide; says where it was looked for when it is not there, and that it could not be
// opened when no program opened it.
void OpenGuide(HWND window);
