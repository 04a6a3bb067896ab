// One lock guards the pacing of every service and the shared exit list; the book's own lock
// guards the pacing against other runs. Nobody sleeps or waits for the network holding either.
#include "cli/run_network.h"

#include <algorithm>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

#include "catalogue/catalogue.h"
#include "cli/service_keys.h"
#include "net/tor_exit.h"
#include "scan/hosting.h"
#include "scan/time_limit.h"

namespace {

struct Shared {
  PaceClock clock;
  HostLimits limits;
  WaitNote onWait;
  std::mutex lock;
  PaceBook book;
  bool torFetching = false;
  std::optional<HttpResult> torList;
  std::condition_variable torReady;
};

// How long a call may still wait before its scan's deadline; unbounded without one.
PaceTime timeLeft(Deadline deadline) {
  if (deadline == NO_DEADLINE) return PaceTime::max();
  const auto left = deadline - std::chrono::steady_clock::now();
  return std::max(PaceTime{0}, std::chrono::duration_cast<PaceTime>(left));
}

// Takes this host's next slot if it comes in time; otherwise says why the request is not sent.
std::optional<PaceTime> slotFrom(PaceState& state, const PaceLimit& limit, PaceTime now,
                                 Deadline deadline, const char*& refusal) {
  forgetPast(state, limit, now);
  const PaceTime left = timeLeft(deadline);
  if (left >= MAX_PACE_WAIT) {
    refusal = NOT_ASKED_RATE_LIMIT;
    return takeSlot(state, limit, now);
  }
  std::optional<PaceTime> slot = takeSlot(state, limit, now, left);
  if (!slot) {
    PaceState probe = state;  // too late for the scan, or beyond any wait at all?
    refusal = takeSlot(probe, limit, now) ? TIME_LIMIT_REASON : NOT_ASKED_RATE_LIMIT;
  }
  return slot;
}

std::optional<PaceTime> slotInTime(Shared& run, const std::string& host, const PaceLimit& limit,
                                   Deadline deadline, const char*& refusal) {
  std::optional<PaceTime> slot;
  run.book.update([&](PaceMap& services) {
    slot = slotFrom(services[host], limit, run.clock.now(), deadline, refusal);
  });
  return slot;
}

// A back-off for this host, this run's or another's, still running.
bool heldBack(Shared& run, const std::string& host) {
  bool held = false;
  run.book.update([&](PaceMap& services) {
    const auto found = services.find(host);
    held = found != services.end() && found->second.blockedUntil > run.clock.now();
  });
  return held;
}

// Waits for this host's next slot, the end of a back-off included. Null: go; otherwise the
// reason the request is not sent.
const char* waitForSlot(Shared& run, const std::string& host, Deadline deadline) {
  const PaceLimit limit = run.limits(host);
  const char* refusal = nullptr;
  std::optional<PaceTime> slot;
  {
    std::lock_guard<std::mutex> guard(run.lock);
    slot = slotInTime(run, host, limit, deadline, refusal);
  }
  // A 429 may arrive while this request waits for its slot: then it waits for the back-off too.
  bool noted = false;
  const auto note = [&run, &host, &noted](std::optional<PaceTime> until) {
    if (!run.onWait) return;
    if (noted && until) run.onWait(host, std::nullopt);  // one wait ends where the next begins
    if (noted || until) run.onWait(host, until);
    noted = until.has_value();
  };
  while (slot) {
    // A slot due now was taken after every back-off known: no need to look again.
    if (*slot <= run.clock.now()) break;
    note(slot);
    run.clock.sleepUntil(*slot);
    std::unique_lock<std::mutex> guard(run.lock);
    if (!heldBack(run, host)) {
      guard.unlock();
      note(std::nullopt);
      return nullptr;
    }
    // Held back by a 429 meanwhile: a fresh slot after it, so the held requests do not all go
    // at once when the back-off ends.
    slot = slotInTime(run, host, limit, deadline, refusal);
  }
  note(std::nullopt);
  return slot ? nullptr : refusal;
}

// A request held back here, never sent: no answer, with the reason.
HttpResult notSent(const char* reason) {
  HttpResult none;
  none.failure = reason;
  return none;
}

// How long an answer asks us to leave its service alone: a 429 (its Retry-After, or our own
// default), or proxycheck.io's "denied", which is its word for the day's queries being used up.
std::optional<std::optional<PaceTime>> backOff(const std::string& host, const HttpResult& result,
                                               PaceTime now) {
  if (result.status == 429) {
    if (result.retryAfterSeconds <= 0) return std::optional<PaceTime>();
    return std::optional<PaceTime>(std::chrono::seconds(result.retryAfterSeconds));
  }
  if (host == sourceByKey("proxyRisk").host &&
      hasJsonMarker(result.body, "\"status\"", "\"denied\"")) {
    constexpr PaceTime DAY = std::chrono::hours(24);
    return std::optional<PaceTime>(DAY - now % DAY);  // its days end at midnight UTC
  }
  return std::nullopt;
}

HttpResult pacedGet(Shared& run, const Network& inner, const std::string& host,
                    const std::string& path, bool secure, Deadline deadline) {
  if (const char* refusal = waitForSlot(run, host, deadline)) {
    return notSent(refusal);
  }
  HttpResult result = inner.httpGet(host, path, secure, deadline);
  const PaceTime now = run.clock.now();
  if (const auto wait = backOff(host, result, now)) {
    std::lock_guard<std::mutex> guard(run.lock);
    run.book.update([&](PaceMap& services) { noteTooManyRequests(services[host], now, *wait); });
  }
  return result;
}

// The first scan to need the list fetches it; the others wait for that answer, whatever it is,
// but no longer than their own deadline. An answer cut short by the fetching scan's own deadline
// is not shared: the next scan fetches the list again.
HttpResult sharedTorList(Shared& run, const Network& inner, const std::string& host,
                         const std::string& path, bool secure, Deadline deadline) {
  std::unique_lock<std::mutex> guard(run.lock);
  const auto ready = [&run] { return run.torList.has_value() || !run.torFetching; };
  if (deadline == NO_DEADLINE) {
    run.torReady.wait(guard, ready);
  } else if (!run.torReady.wait_until(guard, deadline, ready)) {
    return notSent(TIME_LIMIT_REASON);
  }
  if (run.torList) return *run.torList;
  run.torFetching = true;
  guard.unlock();
  HttpResult fetched = pacedGet(run, inner, host, path, secure, deadline);
  const bool cutByDeadline =
      !fetched.failure.empty() &&
      (fetched.failure == TIME_LIMIT_REASON || std::chrono::steady_clock::now() >= deadline);
  guard.lock();
  if (!cutByDeadline) run.torList = fetched;
  run.torFetching = false;
  run.torReady.notify_all();
  return fetched;
}

}  // namespace

PaceClock steadyPaceClock() {
  const auto start = std::chrono::steady_clock::now();
  const auto epoch =
      std::chrono::duration_cast<PaceTime>(std::chrono::system_clock::now().time_since_epoch());
  return {[start, epoch] {
            return epoch +
                   std::chrono::duration_cast<PaceTime>(std::chrono::steady_clock::now() - start);
          },
          [start, epoch](PaceTime at) { std::this_thread::sleep_until(start + (at - epoch)); }};
}

PaceLimit catalogueLimit(std::string_view host) {
  return catalogueLimits({})(host);
}

HostLimits catalogueLimits(const ServiceKeys& keys) {
  const auto limit = [](const FreeTierLimit& tier) {
    return PaceLimit{tier.requests, std::chrono::seconds(tier.windowSeconds)};
  };
  return [keys, limit](std::string_view host) {
    for (const SourceIdentity& source : catalogue()) {
      const bool keyed = !keyOfSource(keys, source.key).empty();
      // A keyed host of its own is only ever asked with the key.
      if (keyed && !source.keyedHost.empty() && source.keyedHost == host) {
        return limit(source.keyedFreeTier);
      }
      if (source.host.empty() || source.host != host) continue;
      return limit(keyed && source.keyedHost.empty() ? source.keyedFreeTier : source.freeTier);
    }
    return PaceLimit{};
  };
}

Network runNetwork(const Network& inner, PaceClock clock, HostLimits limits, WaitNote onWait,
                   PaceBook book) {
  auto run = std::make_shared<Shared>();
  run->book = std::move(book);
  run->clock = std::move(clock);
  run->limits = std::move(limits);
  run->onWait = std::move(onWait);
  const std::string torHost(sourceByKey("torExitList").host);

  Network paced = inner;
  paced.httpGet = [run, inner, torHost](const std::string& host, const std::string& path,
                                        bool secure, Deadline deadline) {
    if (host == torHost && path == TOR_EXIT_LIST_PATH) {
      return sharedTorList(*run, inner, host, path, secure, deadline);
    }
    return pacedGet(*run, inner, host, path, secure, deadline);
  };
  return paced;
}
