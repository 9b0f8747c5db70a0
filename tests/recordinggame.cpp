#include "recordinggame.h"

#include <algorithm>

#include "design.h"

namespace zintu::testing {

void RecordingGame::Form_Load() {
    ++loads_;
    events_.push_back("load");
    if (forwardTo_) {
        forwardTo_->Form_Load();
    } else if (onLoad_) {
        onLoad_(loads_);
    } else {
        loadcolors(runtime_);
    }
}

void RecordingGame::LightUp_Timer() {
    events_.push_back("tick");
    if (forwardTo_) {
        forwardTo_->LightUp_Timer();
    }
}

void RecordingGame::Press_MouseDown(PadIndex Index) {
    record("down", Index);
    if (forwardTo_) {
        forwardTo_->Press_MouseDown(Index);
    }
}

void RecordingGame::Press_MouseUp(PadIndex Index) {
    record("up", Index);
    if (forwardTo_) {
        forwardTo_->Press_MouseUp(Index);
    }
}

void RecordingGame::Press_Click(PadIndex Index) {
    record("click", Index);
    if (forwardTo_) {
        forwardTo_->Press_Click(Index);
    }
}

int RecordingGame::count(const std::string& event) const {
    return static_cast<int>(std::count(events_.begin(), events_.end(), event));
}

void RecordingGame::record(const std::string& event, PadIndex pad) {
    events_.push_back(event + " " + std::to_string(pad));
}

}  // namespace zintu::testing
