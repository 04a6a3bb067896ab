#pragma once
// The network one run of many scans shares: requests paced per service, a 429 honoured before
// the service is asked again, and the Tor exit list fetched once for every scan of the run.
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "cli/pacing.h"
#include "net/network.h"

struct PaceClock {
  std::function<PaceTime()> now;             // time since the run began
  std::function<void(PaceTime)> sleepUntil;  // returns once now() has reached the time
};

// The steady clock, counted from this call.
PaceClock steadyPaceClock();

// The limit a request to this host must keep; requests 0 for none.
using HostLimits = std::function<PaceLimit(std::string_view host)>;

// The published limits of the catalogue's web services, by request host.
PaceLimit catalogueLimit(std::string_view host);

// A request held back beyond MAX_PACE_WAIT is not sent; it fails with this reason.
inline constexpr const char* NOT_ASKED_RATE_LIMIT = "free-tier limit reached, not asked";

// Told when a request starts waiting for its host's slot (with the time it waits for) and when
// it stops (with nothing), for the progress line.
using WaitNote = std::function<void(const std::string& host, std::optional<PaceTime> until)>;

// Wraps inner for one run. Safe to use from several threads at once; the state lives as long as
// a copy of the returned record.
Network runNetwork(const Network& inner, PaceClock clock, HostLimits limits = catalogueLimit,
                   WaitNote onWait = {});
