#pragma once

#include <QObject>
#include <QPoint>
#include <memory>
#include <optional>

#include "eventgate.h"
#include "randomsource.h"
#include "runtime.h"

namespace zintu {

class FormWindow;

// The runtime over Qt Widgets: one top-level window rebuilt from its design at every load.
class QtRuntime : public QObject, public Runtime {
    Q_OBJECT

public:
    QtRuntime();
    ~QtRuntime() override;

    // Loads the window, raising Form_Load, and shows it. Needs a QApplication.
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

    // The loaded window, or null between an unload and the next load.
    FormWindow* form() const { return form_.get(); }
    bool ended() const { return gate_ && gate_->ended(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void loadForm();
    void connectControls(PadIndex pad);
    void disconnectControls();

    std::optional<EventGate> gate_;
    FormEvents* game_ = nullptr;
    RandomSource random_;
    std::unique_ptr<FormWindow> form_;
    std::optional<QPoint> lastPosition_;
};

}  // namespace zintu
