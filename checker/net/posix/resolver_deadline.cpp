// The resolver runs state.retry tries over its state.nscount servers and waits about
// state.retrans seconds for each server (whole seconds, one at least), so a query lasts about
// retry * nscount * retrans seconds.
#include "net/posix/resolver_deadline.h"

#include <algorithm>

bool fitResolverToDeadline(struct __res_state& state, Deadline deadline) {
  if (deadline == NO_DEADLINE) return true;
  constexpr long A_DAY_MS = 86400000;
  const long seconds = msUntil(deadline, A_DAY_MS) / 1000;
  if (seconds < 1) return false;
  const long servers = std::max(1, state.nscount);
  const long planned =
      static_cast<long>(std::max(1, state.retrans)) * std::max(1, state.retry) * servers;
  if (planned > seconds) {
    state.retry = 1;
    state.retrans = static_cast<int>(std::max(1L, seconds / servers));
  }
  return true;
}
