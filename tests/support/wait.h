// Waiting for what another thread or process should do: a test checks its condition again and again up to
// a generous deadline, so that a fault fails the test instead of hanging it. Nothing is concluded from the
// time taken.
#pragma once
#include <chrono>
#include <thread>

// How long a test waits for what should happen.
constexpr auto kPatience = std::chrono::seconds(20);

// Waits until done() holds; false when it did not within kPatience.
template <class Done> bool WaitUntil(Done done) {
  const auto deadline = std::chrono::steady_clock::now() + kPatience;
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}
