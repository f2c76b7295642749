// tamsel.exe: the window program. It reads no command line.
#include <windows.h>

#include "shell.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    return RunTamsel(instance);
}
