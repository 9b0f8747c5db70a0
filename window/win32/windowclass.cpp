#include "windowclass.h"

#include <set>
#include <string>

namespace zintu {

void registerWindowClass(const wchar_t* name, WNDPROC windowProc, HBRUSH background, HICON icon,
                         HICON smallIcon) {
    static std::set<std::wstring> registered;
    if (!registered.insert(name).second) {
        return;
    }
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hIcon = icon;
    windowClass.hIconSm = smallIcon;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = background;
    windowClass.lpszClassName = name;
    RegisterClassExW(&windowClass);
}

}  // namespace zintu
