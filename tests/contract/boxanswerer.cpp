#include "boxanswerer.h"

namespace zintu::testing {

BoxAnswerer::BoxAnswerer(WindowDriver& driver, int holdMs) : driver_(driver), hold_(holdMs) {
    driver_.startPolling([this] { poll(); });
}

std::vector<std::string> BoxAnswerer::texts() const {
    std::vector<std::string> texts;
    for (const SeenBox& box : boxes_) {
        texts.push_back(box.text);
    }
    return texts;
}

std::chrono::milliseconds BoxAnswerer::openFor() const {
    if (!boxOpen()) {
        return {};
    }
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                 openedAt_);
}

void BoxAnswerer::poll() {
    const std::optional<SeenBox> box = driver_.openBox();
    if (!box) {
        open_.reset();
        return;
    }
    const auto now = std::chrono::steady_clock::now();
    if (box->id != open_) {
        open_ = box->id;
        openedAt_ = now;
        answeredOpen_ = false;
        boxes_.push_back(*box);
        if (onOpen_) {
            onOpen_(*box);
        }
    }
    if (!answeredOpen_ && now - openedAt_ >= hold_) {
        answeredOpen_ = true;
        ++answered_;
        driver_.pressOk();
    }
}

}  // namespace zintu::testing
