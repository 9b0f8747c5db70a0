#pragma once

#include <windows.h>

namespace zintu {

// A function of a Windows DLL that the game needs only now and then, loaded on its first call
// and kept for the rest of the run: every DLL loaded at start-up costs each player time and
// memory, and most players never need, for one, what assistive technology asks for. Only
// Windows' own folder is searched, so that no DLL planted beside the game is loaded instead.
template <typename Function>
class SystemFunction {
public:
    constexpr SystemFunction(const wchar_t* dll, const char* name) : dll_(dll), name_(name) {}

    template <typename... Arguments>
    auto operator()(Arguments... arguments) {
        if (!function_) {
            HMODULE module = LoadLibraryExW(dll_, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
            // Through the generic function type, which any function type converts from.
            function_ = reinterpret_cast<Function*>(
                reinterpret_cast<void (*)()>(GetProcAddress(module, name_)));
        }
        return function_(arguments...);
    }

private:
    const wchar_t* dll_;
    const char* name_;
    Function* function_ = nullptr;
};

}  // namespace zintu
