#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <vector>

#include "eventgate.h"
#include "randomsource.h"
#include "runtime.h"

namespace zintu {

class Form;

// The runtime over the Win32 API: one top-level window for the whole run, with the form and its
// controls rebuilt inside it from their design at every load.
class Win32Runtime : public Runtime {
public:
    Win32Runtime();
    ~Win32Runtime() override;
    Win32Runtime(const Win32Runtime&) = delete;
    Win32Runtime& operator=(const Win32Runtime&) = delete;

    // Loads the form, raising Form_Load, and shows it.
    void start(FormEvents& game);
    // start, then the message loop until the program ends; returns the exit status.
    int run(FormEvents& game);

    void randomize() override;
    float rnd() override;
    Colour backColor(PadIndex pad) const override;
    void setBackColor(PadIndex pad, Colour colour) override;
    void setPadEnabled(PadIndex pad, bool enabled) override;
    void setPadVisible(PadIndex pad, bool visible) override;
    void movePad(PadIndex pad, int left, int top) override;
    void loadPad(PadIndex pad) override;
    void setScoreCaption(const std::string& text) override;
    void setLightUpEnabled(bool enabled) override;
    void msgBox(const std::string& text) override;
    void unloadForm() override;
    void showForm() override;
    void end() override;

    // The window on the screen.
    HWND window() const { return window_; }
    // The loaded form, or null between an unload and the next load.
    Form* form() const { return form_.get(); }
    bool ended() const { return gate_ && gate_->ended(); }

    // The window's messages.
    LRESULT handle(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

private:
    void createWindow();
    static SIZE outsideSize(int dpi);
    void fitWindow(int dpi, POINT topLeft);
    bool formShown() const;

    std::optional<EventGate> gate_;
    FormEvents* game_ = nullptr;
    RandomSource random_;
    HWND window_ = nullptr;
    std::unique_ptr<Form> form_;
    // Unloaded forms, destroyed once the handler that unloaded them has returned.
    std::vector<std::unique_ptr<Form>> unloaded_;
};

}  // namespace zintu
