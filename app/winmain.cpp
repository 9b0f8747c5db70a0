#include <windows.h>

#include "form1.h"
#include "win32runtime.h"

// The game takes no arguments: its command line is never read.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    zintu::Win32Runtime runtime;
    zintu::Form1 form(runtime);
    return runtime.run(form);
}
