#include "scan/time_limit.h"

#include <algorithm>

namespace {

// Resolvers wait in whole seconds: a DNS question with less than a second left is not asked.
constexpr std::chrono::seconds DNS_LEAST{1};

// A call ended by the deadline may return a hair before it (its limits are whole milliseconds).
constexpr std::chrono::milliseconds CUT_SLACK{100};

Deadline read(const std::function<Deadline()>& clock) {
  return clock ? clock() : std::chrono::steady_clock::now();
}

HttpResult timeLimited() {
  HttpResult none;
  none.failure = TIME_LIMIT_REASON;
  return none;
}

}  // namespace

Deadline nowOn(const Network& net) {
  return read(net.now);
}

Network withinDeadline(const Network& net, Deadline deadline) {
  Network bounded = net;
  const auto over = [clock = net.now, deadline] { return read(clock) >= deadline; };
  const auto dnsOver = [clock = net.now, deadline] { return read(clock) + DNS_LEAST > deadline; };
  const auto cut = [clock = net.now, deadline] { return read(clock) + CUT_SLACK >= deadline; };
  bounded.httpGet = [inner = net.httpGet, over, cut, deadline](const std::string& host,
                                                               const std::string& path, bool secure,
                                                               Deadline own) {
    if (over()) return timeLimited();
    HttpResult result = inner(host, path, secure, std::min(own, deadline));
    // Cut short by the scan's own clock, not by the network: whatever arrived is no answer.
    return !result.failure.empty() && cut() ? timeLimited() : result;
  };
  bounded.dnsblListed = [inner = net.dnsblListed, dnsOver, deadline](
                            const std::string& address, const std::string& zone, Deadline own) {
    if (dnsOver()) return failedResult(TIME_LIMIT_REASON);
    return inner(address, zone, std::min(own, deadline));
  };
  if (net.dnsblListedDirect) {
    bounded.dnsblListedDirect = [inner = net.dnsblListedDirect, dnsOver, deadline](
                                    const std::string& address, const std::string& zone,
                                    Deadline own) {
      if (dnsOver()) return failedResult(TIME_LIMIT_REASON);
      return inner(address, zone, std::min(own, deadline));
    };
  }
  bounded.reverseDnsName = [inner = net.reverseDnsName, dnsOver, deadline](
                               const std::string& address, Deadline own) {
    if (dnsOver()) return NameLookup{false, {}, TIME_LIMIT_REASON};
    return inner(address, std::min(own, deadline));
  };
  if (net.prepareHosts) {
    bounded.prepareHosts = [inner = net.prepareHosts, deadline](
                               const std::vector<std::string>& hosts, Deadline own) {
      return inner(hosts, std::min(own, deadline));
    };
  }
  bounded.systemProxyInUse = [inner = net.systemProxyInUse, over] {
    if (over()) return failedResult(TIME_LIMIT_REASON);
    return inner();
  };
  return bounded;
}
