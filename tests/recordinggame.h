#pragma once

#include <functional>
#include <string>
#include <vector>

#include "runtime.h"

namespace zintu::testing {

// Stands in for the game to watch what the runtime delivers: builds and enables the pad grid at
// every load, records every event, and forwards it when given a game to forward to.
class RecordingGame : public FormEvents {
public:
    explicit RecordingGame(Runtime& runtime, FormEvents* forwardTo = nullptr)
        : runtime_(runtime), forwardTo_(forwardTo) {}

    void Form_Load() override;
    void LightUp_Timer() override;
    void Press_MouseDown(PadIndex Index) override;
    void Press_MouseUp(PadIndex Index) override;
    void Press_Click(PadIndex Index) override;

    const std::vector<std::string>& events() const { return events_; }
    int count(const std::string& event) const;
    // Runs at each load instead of building the grid, with the load's number from 1.
    void setOnLoad(std::function<void(int)> action) { onLoad_ = std::move(action); }

private:
    void record(const std::string& event, PadIndex pad);

    Runtime& runtime_;
    FormEvents* forwardTo_;
    std::vector<std::string> events_;
    std::function<void(int)> onLoad_;
    int loads_ = 0;
};

}  // namespace zintu::testing
