#pragma once
// Manners towards the free services: never more requests than a service's published free-tier
// limit in any window of its length, and a pause after it answers 429. Plain arithmetic on the
// pace clock's times, so tests script the clock.
#include <chrono>
#include <cstdint>
#include <deque>
#include <optional>

using PaceTime = std::chrono::milliseconds;  // on the pace clock (the real one: since 1970)

struct PaceLimit {
  std::int64_t requests = 0;  // at most this many ...
  PaceTime window{0};         // ... in any window this long; requests 0: no limit
};

struct PaceState {
  std::deque<PaceTime> sent;  // the slots given out, oldest first; at most `requests` of them
  PaceTime blockedUntil{0};   // after a 429: nothing before this time
};

// A service that answers 429 without Retry-After is left alone this long.
inline constexpr PaceTime DEFAULT_BACK_OFF = std::chrono::seconds(60);

// The longest a request may be held back. A later slot (a day's quota used up, a Retry-After
// of hours) is not waited for: the request is not sent and its source reads "unknown".
inline constexpr PaceTime MAX_PACE_WAIT = std::chrono::minutes(2);

// The earliest time at or after `now` the next request may go; the slot is taken. Nothing when
// that is more than `maxWait` away (and nothing is taken).
std::optional<PaceTime> takeSlot(PaceState& state, const PaceLimit& limit, PaceTime now,
                                 PaceTime maxWait = MAX_PACE_WAIT);

// The service answered 429: no request before now + retryAfter (or DEFAULT_BACK_OFF without one).
void noteTooManyRequests(PaceState& state, PaceTime now, std::optional<PaceTime> retryAfter);

// Drops what no longer holds a request back at `now`: slots a whole window old, a back-off that
// has ended. What is left is all another run needs to keep the same limit.
void forgetPast(PaceState& state, const PaceLimit& limit, PaceTime now);
