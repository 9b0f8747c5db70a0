#include "webform.h"

#include "page.h"
#include "webtoolkit.h"

namespace zintu {

namespace {

int toPage(Colour colour) {
    return static_cast<int>(colour);
}

}  // namespace

WebForm::WebForm(WebToolkit& toolkit, ToolkitEvents& events, const std::string& labelFont)
    : toolkit_(toolkit),
      events_(events),
      id_(zintu_build_form(labelFont.c_str(), toPage(design::scoreTextColour))) {
    setScoreCaption(std::string(design::scoreCaption));
    pads_[0] = {design::restingColour(0), true, true, design::padRect(0), true};
    relayout();
    showPad(0);
}

WebForm::~WebForm() {
    setLightUpEnabled(false);
    zintu_destroy_form(id_);
}

void WebForm::relayout() {
    const design::PixelRect label = design::toPixels(design::scoreRect, toolkit_.dpi());
    zintu_place_label(id_, label.x, label.y, label.width, label.height);
    for (PadIndex index = 0; index < design::padCount; ++index) {
        if (pad(index).loaded) {
            placePad(index);
        }
    }
}

void WebForm::loadPad(PadIndex index) {
    zintu_load_pad(id_, index);
    pad(index) = pads_[0];
    pad(index).visible = false;
    showPad(index);
}

Colour WebForm::padColour(PadIndex index) const {
    return pads_[static_cast<std::size_t>(index)].colour;
}

void WebForm::setPadColour(PadIndex index, Colour colour) {
    pad(index).colour = colour;
    showPad(index);
}

void WebForm::setPadEnabled(PadIndex index, bool enabled) {
    pad(index).enabled = enabled;
    showPad(index);
}

void WebForm::setPadVisible(PadIndex index, bool visible) {
    pad(index).visible = visible;
    showPad(index);
}

void WebForm::movePad(PadIndex index, int left, int top) {
    design::TwipRect& place = pad(index).place;
    place.left = left;
    place.top = top;
    placePad(index);
}

void WebForm::setScoreCaption(const std::string& text) {
    zintu_set_label(id_, text.c_str());
}

void WebForm::setLightUpEnabled(bool enabled) {
    if (enabled == lightUp_.has_value()) {
        return;
    }
    if (enabled) {
        lightUp_ = toolkit_.startTimer(design::lightUpIntervalMs, [this] { events_.tick(*this); });
    } else {
        toolkit_.stopTimer(*lightUp_);
        lightUp_.reset();
    }
}

void WebForm::setShown(bool shown) {
    zintu_set_form_shown(id_, shown);
}

WebForm::PadState& WebForm::pad(PadIndex index) {
    return pads_[static_cast<std::size_t>(index)];
}

void WebForm::placePad(PadIndex index) {
    const design::PixelRect place = design::toPixels(pad(index).place, toolkit_.dpi());
    zintu_place_pad(id_, index, place.x, place.y, place.width, place.height);
}

void WebForm::showPad(PadIndex index) {
    const PadState& state = pad(index);
    const std::string name(design::padTable[static_cast<std::size_t>(index)].name);
    zintu_set_pad(id_, index, name.c_str(), toPage(state.colour), state.colour == design::litColour,
                  state.enabled, state.visible);
}

}  // namespace zintu
