// One table for the process, under a lock: scans of a bulk run prepare and request at once. A
// pin lasts as long as libcurl's own DNS cache keeps an answer, so an address is not used much
// longer than a resolver would have given it out; each scan pins its hosts afresh.
#include "net/posix/pinned_hosts.h"

#include <chrono>
#include <map>
#include <mutex>

namespace {

using Clock = std::chrono::steady_clock;
constexpr std::chrono::seconds PIN_LIFETIME{60};

struct Pin {
  std::string addresses;  // "a,b,[c]", as CURLOPT_RESOLVE reads them
  Clock::time_point until;
};

struct PinTable {
  std::mutex lock;
  std::map<std::string, Pin, std::less<>> pins;
};

// Never destroyed: a look-up thread the scan no longer waits for may pin its answer while the
// program exits.
PinTable& table() {
  static auto* const pins = new PinTable;
  return *pins;
}

}  // namespace

void pinHost(const std::string& host, const std::vector<std::string>& addresses) {
  std::string list;
  for (const std::string& address : addresses) {
    if (!list.empty()) list += ',';
    list += address.find(':') == std::string::npos ? address : "[" + address + "]";
  }
  if (list.empty()) return;
  PinTable& t = table();
  const std::lock_guard<std::mutex> guard(t.lock);
  t.pins[host] = Pin{list, Clock::now() + PIN_LIFETIME};
}

std::vector<std::string> pinnedResolveEntries(const std::string& host) {
  PinTable& t = table();
  const std::lock_guard<std::mutex> guard(t.lock);
  const auto it = t.pins.find(host);
  if (it == t.pins.end() || it->second.until <= Clock::now()) return {};
  return {host + ":80:" + it->second.addresses, host + ":443:" + it->second.addresses};
}
