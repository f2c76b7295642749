// The user guide as the window offers it (その他 > 使い方ガイド): the page guide-ja.html that the
// release puts beside the program, and what the command says when it cannot show it. No window
// here.
#pragma once

#include <cstddef>

constexpr char16_t GUIDE_FILE_NAME[] = u"guide-ja.html";

// The guide's path beside the program at `programPath` (a full path, as the system gives it):
// the program's folder, then GUIDE_FILE_NAME. False when it does not fit `capacity`.
bool GuidePathBeside(const char16_t* programPath, char16_t* out, size_t capacity);

enum GuideMessage {
    GUIDE_SHOWN,       // nothing to say: the guide opened
    GUIDE_MISSING,     // no guide beside the program: where it was looked for, and how to get it
    GUIDE_NOT_OPENED,  // the guide is there, but no program opened it
};

// What the command says, from what it found: whether the guide's path could be made, whether the
// guide is there, and whether it opened.
GuideMessage GuideMessageFor(bool pathMade, bool guideExists, bool opened);
