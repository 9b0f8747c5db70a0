#include <windows.h>

#include "form1.h"
#include "host.h"
#include "win32toolkit.h"

// The game takes no arguments: its command line is never read.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    zintu::Win32Toolkit toolkit;
    zintu::Host host(toolkit);
    zintu::Form1 form(host);
    return host.run(form);
}
