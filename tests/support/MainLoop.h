#pragma once
// Pumping the GLib main loop from tests: until a condition holds, with a timeout, never
// for a fixed time.
#include <chrono>
#include <functional>

namespace vorlane::test {

// Runs pending main-loop work until Condition is true or Timeout passes; returns Condition().
bool PumpUntil(const std::function<bool()>& Condition,
               std::chrono::milliseconds Timeout = std::chrono::seconds(20));

// Runs every pending main-loop source once, without waiting.
void PumpPending();

}  // namespace vorlane::test
