#include "guide.h"

#include "explorer.h"
#include "guide_rules.h"
#include "message_box.h"
#include "resource.h"

namespace {

// Room for the program's path: the longest path Windows has, terminator included.
constexpr DWORD PROGRAM_PATH_CHARS = 32768;

}  // namespace

void OpenGuide(HWND window) {
    static wchar_t program[PROGRAM_PATH_CHARS];
    static char16_t guide[PROGRAM_PATH_CHARS];
    DWORD length = GetModuleFileNameW(nullptr, program, PROGRAM_PATH_CHARS);
    bool pathMade = length > 0 && length < PROGRAM_PATH_CHARS &&
                    GuidePathBeside(AsUtf16(program), guide, PROGRAM_PATH_CHARS);
    DWORD attributes = pathMade ? GetFileAttributesW(AsWide(guide)) : INVALID_FILE_ATTRIBUTES;
    bool exists =
        attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
    bool opened = exists && OpenWithSystem(window, AsWide(guide));
    switch (GuideMessageFor(pathMade, exists, opened)) {
        case GUIDE_MISSING:
            ShowMessage(window, IDS_MESSAGE_CAPTION, MB_OK | MB_ICONWARNING, IDS_GUIDE_MISSING,
                        {pathMade ? guide : GUIDE_FILE_NAME});
            break;
        case GUIDE_NOT_OPENED:
            ShowMessage(window, IDS_MESSAGE_CAPTION, MB_OK | MB_ICONWARNING, IDS_CANNOT_OPEN_FILE,
                        {guide});
            break;
        case GUIDE_SHOWN:
            break;
    }
}
