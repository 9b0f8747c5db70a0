#include "eventgate.h"

namespace zintu {

void EventGate::tick() {
    if (accepting()) {
        game_.LightUp_Timer();
    }
}

void EventGate::mouseDown(PadIndex pad) {
    if (accepting()) {
        game_.Press_MouseDown(pad);
    }
}

void EventGate::mouseUp(PadIndex pad) {
    if (accepting()) {
        game_.Press_MouseUp(pad);
    }
}

void EventGate::click(PadIndex pad) {
    if (accepting()) {
        game_.Press_Click(pad);
    }
}

bool EventGate::requestClose() {
    if (messageOpen()) {
        return false;
    }
    end();
    return true;
}

}  // namespace zintu
