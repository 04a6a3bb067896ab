#pragma once
// A point on the steady clock by which a network call must be over.
#include <chrono>

using Deadline = std::chrono::steady_clock::time_point;

// A call under no deadline ends by its own limits only.
inline constexpr Deadline NO_DEADLINE = Deadline::max();

// Milliseconds from now until `deadline`, but at most `cap`; 0 once it has passed.
inline long msUntil(Deadline deadline, long cap) {
  if (deadline == NO_DEADLINE) return cap;
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                        deadline - std::chrono::steady_clock::now())
                        .count();
  if (left <= 0) return 0;
  return left < cap ? static_cast<long>(left) : cap;
}
