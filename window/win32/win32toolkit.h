#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "toolkit.h"

namespace zintu {

class Form;

// The toolkit over the Win32 API: one top-level window for the whole run, with a form built
// inside it at every load.
class Win32Toolkit : public Toolkit {
public:
    Win32Toolkit();
    ~Win32Toolkit() override;
    Win32Toolkit(const Win32Toolkit&) = delete;
    Win32Toolkit& operator=(const Win32Toolkit&) = delete;

    void open(ToolkitEvents& events) override;
    std::unique_ptr<ToolkitForm> buildForm() override;
    void destroyLater(std::unique_ptr<ToolkitForm> form) override;
    void setWindowShown(bool shown) override;
    void runMessageBox(const std::string& text, bool overWindow) override;
    void runEventLoop() override;
    void quit(int status) override;

    // The window on the screen.
    HWND window() const { return window_; }
    // The form built last, until it is destroyed.
    Form* form() const { return latest_; }

    // The window's messages.
    LRESULT handle(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

private:
    static SIZE outsideSize(int dpi);
    void fitWindow(int dpi, POINT topLeft);

    ToolkitEvents* events_ = nullptr;
    HWND window_ = nullptr;
    Form* latest_ = nullptr;
    bool quit_ = false;
    // Unloaded forms, destroyed once the handler that unloaded them has returned.
    std::vector<std::unique_ptr<ToolkitForm>> unloaded_;
};

}  // namespace zintu
