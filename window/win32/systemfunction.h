#pragma once

#include <windows.h>

namespace zintu {

template <typename Function>
class SystemFunction;

// A function of a Windows DLL that the game needs only now and then, loaded on its first call
// and kept for the rest of the run: every DLL loaded at start-up costs each player time and
// memory, and most players never need, for one, what assistive technology asks for. Only
// Windows' own folder is searched, so that no DLL planted beside the game is loaded instead.
// Where the DLL or the function is missing, every call answers `missing` and the game goes on
// without what it offers.
template <typename Result, typename... Parameters>
class SystemFunction<Result(Parameters...)> {
public:
    constexpr SystemFunction(const wchar_t* dll, const char* name, Result missing)
        : dll_(dll), name_(name), missing_(missing) {}

    Result operator()(Parameters... arguments) {
        if (!looked_) {
            looked_ = true;
            if (HMODULE module = LoadLibraryExW(dll_, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)) {
                // Through the generic function type, which any function type converts from.
                function_ = reinterpret_cast<Result (*)(Parameters...)>(
                    reinterpret_cast<void (*)()>(GetProcAddress(module, name_)));
            }
        }
        return function_ ? function_(arguments...) : missing_;
    }

private:
    const wchar_t* dll_;
    const char* name_;
    Result missing_;
    bool looked_ = false;
    Result (*function_)(Parameters...) = nullptr;
};

}  // namespace zintu
