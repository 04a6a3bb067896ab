// One lock guards the pacing of every service and the shared exit list. Nobody sleeps or waits
// for the network while holding it.
#include "cli/run_network.h"

#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

#include "catalogue/catalogue.h"

namespace {

constexpr std::string_view TOR_LIST_PATH = "/torbulkexitlist";

struct Shared {
  PaceClock clock;
  HostLimits limits;
  WaitNote onWait;
  std::mutex lock;
  std::map<std::string, PaceState, std::less<>> services;
  bool torFetching = false;
  std::optional<HttpResult> torList;
  std::condition_variable torReady;
};

// Waits for this host's next slot, the end of a back-off included. False: not to be sent.
bool waitForSlot(Shared& run, const std::string& host) {
  const PaceLimit limit = run.limits(host);
  std::optional<PaceTime> slot;
  {
    std::lock_guard<std::mutex> guard(run.lock);
    slot = takeSlot(run.services[host], limit, run.clock.now());
  }
  // A 429 may arrive while this request waits for its slot: then it waits for the back-off too.
  bool noted = false;
  const auto note = [&run, &host, &noted](std::optional<PaceTime> until) {
    if (run.onWait && (noted || until)) run.onWait(host, until);
    noted = until.has_value();
  };
  while (slot) {
    if (*slot > run.clock.now()) note(slot);
    run.clock.sleepUntil(*slot);
    std::unique_lock<std::mutex> guard(run.lock);
    const PaceTime now = run.clock.now();
    const PaceTime blocked = run.services[host].blockedUntil;
    if (blocked <= now) {
      guard.unlock();
      note(std::nullopt);
      return true;
    }
    slot = blocked - now > MAX_PACE_WAIT ? std::nullopt : std::optional<PaceTime>(blocked);
  }
  note(std::nullopt);
  return false;
}

HttpResult pacedGet(Shared& run, const Network& inner, const std::string& host,
                    const std::string& path, bool secure) {
  if (!waitForSlot(run, host)) {
    HttpResult notAsked;
    notAsked.failure = NOT_ASKED_RATE_LIMIT;
    return notAsked;
  }
  HttpResult result = inner.httpGet(host, path, secure);
  if (result.status == 429) {
    std::optional<PaceTime> retryAfter;
    if (result.retryAfterSeconds > 0) retryAfter = std::chrono::seconds(result.retryAfterSeconds);
    std::lock_guard<std::mutex> guard(run.lock);
    noteTooManyRequests(run.services[host], run.clock.now(), retryAfter);
  }
  return result;
}

// The first scan to need the list fetches it; the others wait for that answer, whatever it is.
HttpResult sharedTorList(Shared& run, const Network& inner, const std::string& host,
                         const std::string& path, bool secure) {
  std::unique_lock<std::mutex> guard(run.lock);
  run.torReady.wait(guard, [&run] { return run.torList.has_value() || !run.torFetching; });
  if (run.torList) return *run.torList;
  run.torFetching = true;
  guard.unlock();
  HttpResult fetched = pacedGet(run, inner, host, path, secure);
  guard.lock();
  run.torList = std::move(fetched);
  run.torFetching = false;
  run.torReady.notify_all();
  return *run.torList;
}

}  // namespace

PaceClock steadyPaceClock() {
  const auto start = std::chrono::steady_clock::now();
  return {[start] {
            return std::chrono::duration_cast<PaceTime>(std::chrono::steady_clock::now() - start);
          },
          [start](PaceTime at) { std::this_thread::sleep_until(start + at); }};
}

PaceLimit catalogueLimit(std::string_view host) {
  for (const SourceIdentity& source : catalogue()) {
    if (source.host.empty() || source.host != host) continue;
    return {source.freeTier.requests, std::chrono::seconds(source.freeTier.windowSeconds)};
  }
  return {};
}

Network runNetwork(const Network& inner, PaceClock clock, HostLimits limits, WaitNote onWait) {
  auto run = std::make_shared<Shared>();
  run->clock = std::move(clock);
  run->limits = std::move(limits);
  run->onWait = std::move(onWait);
  const std::string torHost(sourceByKey("torExitList").host);

  Network paced = inner;
  paced.httpGet = [run, inner, torHost](const std::string& host, const std::string& path,
                                        bool secure) {
    if (host == torHost && path == TOR_LIST_PATH) {
      return sharedTorList(*run, inner, host, path, secure);
    }
    return pacedGet(*run, inner, host, path, secure);
  };
  return paced;
}
