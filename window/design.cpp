#include "design.h"

namespace zintu {

void loadcolors(Runtime& runtime) {
    using design::padCount;
    for (PadIndex pad = 1; pad < padCount; ++pad) {
        runtime.loadPad(pad);
    }
    for (PadIndex pad = 1; pad < padCount; ++pad) {
        const design::TwipRect place = design::padRect(pad);
        runtime.movePad(pad, place.left, place.top);
    }
    for (PadIndex pad = 1; pad < padCount; ++pad) {
        runtime.setBackColor(pad, design::restingColour(pad));
    }
    for (PadIndex pad = 1; pad < padCount; ++pad) {
        runtime.setPadVisible(pad, true);
    }
}

}  // namespace zintu
