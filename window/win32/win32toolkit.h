#pragma once

#include <windows.h>

#include <optional>

#include "countedevents.h"
#include "form.h"
#include "formshelf.h"
#include "toolkit.h"

namespace zintu {

// The toolkit over the Win32 API: one top-level window for the whole run, with a form built
// inside it at every load.
class Win32Toolkit : public Toolkit {
public:
    Win32Toolkit();
    ~Win32Toolkit() override;
    Win32Toolkit(const Win32Toolkit&) = delete;
    Win32Toolkit& operator=(const Win32Toolkit&) = delete;

    void open(ToolkitEvents& events) override;
    ToolkitForm& buildForm() override;
    void destroyLater(ToolkitForm& form) override;
    void setWindowShown(bool shown) override;
    void runMessageBox(const std::string& text, bool overWindow) override;
    void runEventLoop() override;
    void quit(int status) override;

    // The window on the screen.
    HWND window() const { return window_; }
    // The form built last, until it is unloaded.
    Form* form() const { return forms_.latest(); }

    // The window's messages.
    LRESULT handle(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

private:
    void destroyUnloadedOnceNoHandlerRuns();
    static SIZE outsideSize(int dpi);
    void fitWindow(int dpi, POINT topLeft);

    // Every report of the controls, on its way to the host.
    std::optional<CountedEvents> reports_;
    HWND window_ = nullptr;
    bool quit_ = false;
    // Child windows of the window: the destructor destroys them first, while it still stands.
    FormShelf<Form> forms_;
};

}  // namespace zintu
