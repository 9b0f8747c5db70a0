#include <windows.h>

#include <cstdlib>

// How zintu.exe ends on a failure it cannot recover from (std::terminate): with a message the
// player sees, in a box, and not with libstdc++'s default, a line on a console that a Windows
// program does not have, which would also bring a C++ demangler and a printf, a sixth of the
// exe, into it.
namespace __gnu_cxx {

void __verbose_terminate_handler() {
    MessageBoxW(nullptr, L"Zintu stopped after an internal error.", L"Zintu",
                MB_OK | MB_ICONERROR | MB_TASKMODAL);
    std::abort();
}

}  // namespace __gnu_cxx
