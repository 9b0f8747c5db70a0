#pragma once

#include <functional>

namespace zintu::testing {

// Runs the thread's messages for a while, or until `done` holds; returns whether it did.
void pumpFor(int ms);
bool pumpUntil(const std::function<bool()>& done, int timeoutMs = 5000);

}  // namespace zintu::testing
