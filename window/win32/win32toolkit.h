#pragma once

#include <windows.h>

#include "form.h"
#include "formshelf.h"
#include "toolkit.h"

namespace zintu {

// The toolkit over the Win32 API: one top-level window for the whole run, with a form built
// inside it at every load. Every report of its controls passes through it on the way to the
// host, so that it knows when a handler is running.
class Win32Toolkit : public Toolkit, private ToolkitEvents {
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
    // Held while a report is with the host.
    class Handling {
    public:
        explicit Handling(Win32Toolkit& toolkit);
        ~Handling();
        Handling(const Handling&) = delete;
        Handling& operator=(const Handling&) = delete;

    private:
        Win32Toolkit& toolkit_;
    };

    void tick(const ToolkitForm& form) override;
    void padDown(const ToolkitForm& form, PadIndex pad, MouseButton button) override;
    void padUp(const ToolkitForm& form, PadIndex pad, MouseButton button, bool overPad) override;
    void padPressed(const ToolkitForm& form, PadIndex pad) override;
    bool closeRequested() override;

    void destroyUnloadedOnceNoHandlerRuns();
    static SIZE outsideSize(int dpi);
    void fitWindow(int dpi, POINT topLeft);

    ToolkitEvents* events_ = nullptr;
    HWND window_ = nullptr;
    bool quit_ = false;
    // Child windows of the window: the destructor destroys them first, while it still stands.
    FormShelf<Form> forms_;
    int handlersRunning_ = 0;
};

}  // namespace zintu
