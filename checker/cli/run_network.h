#pragma once
// The network one run of many scans shares: requests paced per service, a 429 honoured before
// the service is asked again, and the Tor exit list fetched once for every scan of the run.
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "cli/pace_book.h"
#include "cli/pacing.h"
#include "net/network.h"
#include "scan/scan_options.h"

struct PaceClock {
  std::function<PaceTime()> now;             // the pace clock's time
  std::function<void(PaceTime)> sleepUntil;  // returns once now() has reached the time
};

// Time since 1970 as the system clock read it at this call, counted on from there by the steady
// clock: runs share their times through a file, and a clock set back mid-run moves no slot.
PaceClock steadyPaceClock();

// The limit a request to this host must keep; requests 0 for none.
using HostLimits = std::function<PaceLimit(std::string_view host)>;

// The published limits of the catalogue's web services, by request host.
PaceLimit catalogueLimit(std::string_view host);

// The same, with the keyed limits (and keyed hosts) of the services these keys are for.
HostLimits catalogueLimits(const ServiceKeys& keys);

// A request held back beyond MAX_PACE_WAIT is not sent; it fails with this reason.
inline constexpr const char* NOT_ASKED_RATE_LIMIT = "free-tier limit reached, not asked";

// Told when a request starts waiting for its host's slot (with the time it waits for) and when
// it stops (with nothing), for the progress line.
using WaitNote = std::function<void(const std::string& host, std::optional<PaceTime> until)>;

// How one run paces itself: its clock, the limits it keeps, where it keeps the pace.
struct RunPace {
  PaceClock clock;
  HostLimits limits = catalogueLimit;
  PaceBook book = memoryPaceBook();
};

// Wraps inner for one run. Safe to use from several threads at once; the state lives as long as
// a copy of the returned record. The book holds the pace; another run may share it.
Network runNetwork(const Network& inner, PaceClock clock, HostLimits limits = catalogueLimit,
                   WaitNote onWait = {}, PaceBook book = memoryPaceBook());
