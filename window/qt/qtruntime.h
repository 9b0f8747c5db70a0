#pragma once

#include <QObject>
#include <memory>
#include <optional>

#include "eventgate.h"
#include "randomsource.h"
#include "runtime.h"

namespace zintu {

class FormWindow;
class GameWindow;

// The runtime over Qt Widgets: one top-level window for the whole run, with the form and its
// controls rebuilt inside it from their design at every load.
class QtRuntime : public QObject, public Runtime {
    Q_OBJECT

public:
    QtRuntime();
    ~QtRuntime() override;

    // Loads the form, raising Form_Load, and shows it. Needs a QApplication.
    void start(FormEvents& game);
    // start, then the event loop until the program ends; returns the exit status.
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

    // The window on the screen; null before start.
    GameWindow* window() const { return window_.get(); }
    // The loaded form, or null between an unload and the next load.
    FormWindow* form() const { return form_.get(); }
    bool ended() const { return gate_ && gate_->ended(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void loadForm();
    bool formShown() const;
    void connectControls(PadIndex pad);
    void disconnectControls();

    std::optional<EventGate> gate_;
    FormEvents* game_ = nullptr;
    RandomSource random_;
    std::unique_ptr<GameWindow> window_;
    // The window's child, declared after it so that it is deleted first.
    std::unique_ptr<FormWindow> form_;
};

}  // namespace zintu
