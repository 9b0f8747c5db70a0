#include "form1.h"

#include <cmath>
#include <string>

#include "design.h"
#include "messages.h"

namespace zintu {

void Form1::Form_Load() {
    runtime_.randomize();
    if (state_.pattern[GameState::patternLength] == 0) {
        colorset();
    }
    ++state_.level;
    runtime_.setScoreCaption(messages::levelCaption(state_.level));
    if (state_.level >= GameState::masterLevel) {
        runtime_.msgBox(std::string(messages::master));
        runtime_.end();
        return;
    }
    loadcolors(runtime_);
    colors();
}

void Form1::colorset() {
    for (int i = 1; i <= GameState::patternLength; ++i) {
        const float r = runtime_.rnd();
        state_.pattern[static_cast<std::size_t>(i)] =
            static_cast<std::int16_t>(std::floor(static_cast<double>(r) * design::padCount) + 1.0);
    }
}

void Form1::colors() {
    state_.position = 1;
    for (PadIndex pad = 0; pad < design::padCount; ++pad) {
        runtime_.setPadEnabled(pad, false);
    }
    runtime_.setLightUpEnabled(true);
}

void Form1::LightUp_Timer() {
    if (!anyPadLit()) {
        runtime_.setBackColor(expectedPad(), design::litColour);
        return;
    }
    restoreLitPads();
    if (state_.position == state_.level) {
        runtime_.msgBox(std::string(messages::go));
        startPlayerTurn();
    } else if (state_.position < state_.level) {
        ++state_.position;
    }
}

void Form1::Press_MouseDown(PadIndex Index) {
    runtime_.setBackColor(Index, design::litColour);
}

void Form1::Press_MouseUp(PadIndex Index) {
    runtime_.setBackColor(Index, design::restingColour(Index));
}

void Form1::Press_Click(PadIndex Index) {
    if (Index != expectedPad()) {
        runtime_.msgBox(messages::rating(state_.level));
        return;
    }
    if (state_.position == state_.level) {
        runtime_.msgBox(messages::readyForLevel(state_.level + 1));
        runtime_.unloadForm();
        runtime_.showForm();
    } else if (state_.position < state_.level) {
        ++state_.position;
    }
}

PadIndex Form1::expectedPad() const {
    return state_.padAt(state_.position);
}

bool Form1::anyPadLit() const {
    for (PadIndex pad = 0; pad < design::padCount; ++pad) {
        if (runtime_.backColor(pad) == design::litColour) {
            return true;
        }
    }
    return false;
}

void Form1::restoreLitPads() {
    for (PadIndex pad = 0; pad < design::padCount; ++pad) {
        if (runtime_.backColor(pad) == design::litColour) {
            runtime_.setBackColor(pad, design::restingColour(pad));
        }
    }
}

void Form1::startPlayerTurn() {
    runtime_.setLightUpEnabled(false);
    for (PadIndex pad = 0; pad < design::padCount; ++pad) {
        runtime_.setPadEnabled(pad, true);
    }
    state_.position = 1;
}

}  // namespace zintu
