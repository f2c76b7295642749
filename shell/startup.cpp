#include <clocale>

#include "main_window.h"
#include "message_box.h"
#include "resource.h"
#include "shell.h"

ShellState shell{};
ConversionJob conversionJob;

namespace {

// The main window is a window of its own class built from a dialog template; its class
// procedure handles everything, the dialog procedure nothing. A dialog procedure is still
// given because some systems (Wine) deliver WM_INITDIALOG only when there is one.
INT_PTR CALLBACK MainWindowDialogProc(HWND, UINT, WPARAM, LPARAM) {
    return FALSE;
}

}  // namespace

void LoadShellTexts(HINSTANCE instance) {
    LoadStringW(instance, IDS_APP_TITLE, shell.title, SHELL_TEXT_CHARS);
    LoadStringW(instance, IDS_WINDOW_CLASS, shell.className, SHELL_TEXT_CHARS);
}

bool RegisterMainWindowClass(HINSTANCE instance) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = MainWindowProc;
    windowClass.cbClsExtra = 0;
    windowClass.cbWndExtra = DLGWINDOWEXTRA;  // built from a dialog template
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_APPLICATION_LARGE));
    windowClass.hIconSm = static_cast<HICON>(
        LoadImageW(instance, MAKEINTRESOURCEW(IDI_APPLICATION_SMALL), IMAGE_ICON,
                   GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), LR_SHARED));
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
    windowClass.lpszMenuName = MAKEINTRESOURCEW(IDR_MAIN_MENU);
    windowClass.lpszClassName = shell.className;
    return RegisterClassExW(&windowClass) != 0;
}

bool TakeSingleInstanceLock() {
    HANDLE running = OpenMutexW(MUTEX_ALL_ACCESS, FALSE, SINGLE_INSTANCE_MUTEX);
    if (running == nullptr) {
        // Held until the process ends; the system releases it then.
        running = CreateMutexW(nullptr, TRUE, SINGLE_INSTANCE_MUTEX);
        // Two copies started together may both miss the other's mutex when opening it; the
        // one that creates it second learns it here.
        if (running == nullptr || GetLastError() != ERROR_ALREADY_EXISTS) {
            return true;
        }
    }
    ShowMessage(nullptr, IDS_APP_NAME, MB_OK, IDS_ALREADY_RUNNING);
    CloseHandle(running);
    return false;
}

HWND CreateMainWindow(HINSTANCE instance) {
    shell.instance = instance;
    HWND window =
        CreateDialogParamW(instance, MAKEINTRESOURCEW(IDD_MAIN), nullptr, MainWindowDialogProc, 0);
    if (window == nullptr) {
        return nullptr;
    }
    DragAcceptFiles(window, TRUE);
    shell.mainWindow = window;
    UpdateWindow(window);
    return window;
}

namespace {

// Ctrl+C copies in the output folder's field, as in any text field; elsewhere it switches the
// conversion option, as it always has.
bool IsCopyInOutputFolder(const MSG& message) {
    return message.message == WM_KEYDOWN && message.wParam == 'C' &&
           message.hwnd == shell.outputFolderEdit && (GetKeyState(VK_CONTROL) & 0x8000) != 0;
}

}  // namespace

int RunMessageLoop(HWND mainWindow) {
    HACCEL accelerators =
        LoadAcceleratorsW(shell.instance, MAKEINTRESOURCEW(IDR_MAIN_ACCELERATORS));
    MSG message{};
    BOOL got;
    while ((got = GetMessageW(&message, nullptr, 0, 0)) != 0) {
        if (got == -1) {
            return 0;
        }
        // Accelerators first, whichever control has the focus: Enter, Space and Del act on the
        // whole window. There is no dialog keyboard handling: Tab does not move the focus.
        if (!IsCopyInOutputFolder(message) &&
            TranslateAcceleratorW(mainWindow, accelerators, &message)) {
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}

int RunTamsel(HINSTANCE instance) {
    LoadShellTexts(instance);
    RegisterMainWindowClass(instance);
    // Japanese, code page 932, for the runtime's character classification, case mapping and
    // conversions between wide and multibyte text.
    std::setlocale(LC_ALL, "jpn");
    if (!TakeSingleInstanceLock()) {
        return EXIT_ALREADY_RUNNING;
    }
    HWND mainWindow = CreateMainWindow(instance);
    if (mainWindow == nullptr) {
        return EXIT_NO_MAIN_WINDOW;
    }
    return RunMessageLoop(mainWindow);
}
