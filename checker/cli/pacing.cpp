// A sliding window per service: slot k may not come sooner than one window after slot
// k - requests. Slots are handed out in order, so the window is the last `requests` slots.
#include "cli/pacing.h"

#include <algorithm>

std::optional<PaceTime> takeSlot(PaceState& state, const PaceLimit& limit, PaceTime now,
                                 PaceTime maxWait) {
  PaceTime slot = std::max(now, state.blockedUntil);
  if (!state.sent.empty()) slot = std::max(slot, state.sent.back());
  const auto full = static_cast<std::size_t>(std::max<std::int64_t>(limit.requests, 0));
  if (full > 0 && state.sent.size() >= full) {
    slot = std::max(slot, state.sent[state.sent.size() - full] + limit.window);
  }
  if (slot - now > maxWait) return std::nullopt;
  if (full > 0) {
    state.sent.push_back(slot);
    while (state.sent.size() > full) state.sent.pop_front();
  }
  return slot;
}

void noteTooManyRequests(PaceState& state, PaceTime now, std::optional<PaceTime> retryAfter) {
  state.blockedUntil = std::max(state.blockedUntil, now + retryAfter.value_or(DEFAULT_BACK_OFF));
}

void forgetPast(PaceState& state, const PaceLimit& limit, PaceTime now) {
  while (!state.sent.empty() && (limit.requests <= 0 || state.sent.front() + limit.window <= now)) {
    state.sent.pop_front();
  }
  if (state.blockedUntil <= now) state.blockedUntil = PaceTime{0};
}
