#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "windowdriver.h"

namespace zintu::testing {

// Answers every message box the game opens with its OK button, as a player would, after holding
// it open for a while; records each box as it was seen.
class BoxAnswerer {
public:
    explicit BoxAnswerer(WindowDriver& driver, int holdMs = 0);

    const std::vector<SeenBox>& boxes() const { return boxes_; }
    std::vector<std::string> texts() const;
    int answered() const { return answered_; }
    bool boxOpen() const { return open_.has_value() && !answeredOpen_; }
    // How long the box that is open has been; zero while none is.
    std::chrono::milliseconds openFor() const;
    // Runs once for each box, as soon as it is seen open.
    void setOnOpen(std::function<void(const SeenBox&)> action) { onOpen_ = std::move(action); }

private:
    void poll();

    WindowDriver& driver_;
    std::chrono::milliseconds hold_;
    std::optional<int> open_;
    std::chrono::steady_clock::time_point openedAt_;
    bool answeredOpen_ = false;
    std::vector<SeenBox> boxes_;
    int answered_ = 0;
    std::function<void(const SeenBox&)> onOpen_;
};

}  // namespace zintu::testing
