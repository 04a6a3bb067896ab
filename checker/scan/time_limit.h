#pragma once
// A scan is bounded in time as a whole: a lookup not started by its deadline is not made, and one
// in flight gets only what is left. Sources are still asked one after another.
#include <chrono>

#include "net/network.h"

inline constexpr std::chrono::seconds SCAN_TIME_LIMIT{90};
inline constexpr const char* TIME_LIMIT_REASON = "scan time limit";

// Now, on the clock of `net` (its own, or the steady clock).
Deadline nowOn(const Network& net);

// `net` with every call bounded by `deadline`: from then on a call is not made and fails with
// TIME_LIMIT_REASON; before, it runs under the earlier of its own deadline and this one.
Network withinDeadline(const Network& net, Deadline deadline);
