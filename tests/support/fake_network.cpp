#include "fake_network.h"

#include <algorithm>

namespace {

bool isTestPoint(const std::string& address) {
  return address == "127.0.0.2" || address == "127.0.0.1";
}

}  // namespace

Network FakeNetwork::network() {
  // Notes what the call was given and lets its time pass.
  const auto spend = [this](Deadline deadline) {
    if (deadline == NO_DEADLINE) {
      givenMs.push_back(-1);
      clock += callTime;
      return;
    }
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - clock);
    givenMs.push_back(static_cast<long>(left.count()));
    clock += std::min(callTime, left);
  };
  Network net;
  net.httpGet = [this, spend](const std::string& host, const std::string& path, bool secure,
                              Deadline deadline) {
    calls.push_back((secure ? "https://" : "http://") + host + path);
    spend(deadline);
    const auto it = http.find(host);
    return it == http.end() ? noAnswer("no connection") : it->second;
  };
  net.dnsblListed = [this, spend](const std::string& address, const std::string& zone,
                                  Deadline deadline) {
    calls.push_back("dns " + zone + " " + address);
    spend(deadline);
    if (isTestPoint(address)) {
      const auto it = testPoint.find(zone);
      if (it != testPoint.end()) return it->second;
      return address == "127.0.0.2" ? flaggedResult() : clearResult();
    }
    const auto it = dnsbl.find(zone);
    return it == dnsbl.end() ? clearResult() : it->second;
  };
  net.dnsblListedDirect = [this, spend](const std::string& address, const std::string& zone,
                                        Deadline deadline) {
    calls.push_back("direct " + zone + " " + address);
    spend(deadline);
    if (isTestPoint(address)) {
      const auto it = directTestPoint.find(zone);
      if (it != directTestPoint.end()) return it->second;
      return address == "127.0.0.2" ? flaggedResult() : clearResult();
    }
    const auto it = direct.find(zone);
    return it == direct.end() ? failedResult("time-out") : it->second;
  };
  net.reverseDnsName = [this, spend](const std::string& address, Deadline deadline) {
    calls.push_back("ptr " + address);
    spend(deadline);
    return reverse;
  };
  net.systemProxyInUse = [this]() {
    calls.push_back("proxy");
    return proxy;
  };
  net.prepareHosts = [this](const std::vector<std::string>& hosts, Deadline deadline) {
    prepared = hosts;
    const Deadline answerAt = clock + dnsFirstAnswer;
    // Waiting for the first answer lets the clock run to it, or to the deadline without it.
    const auto answered = [this, answerAt, deadline] {
      const bool inTime = !dnsSilent && answerAt <= deadline;
      clock = std::max(clock, inTime ? answerAt : deadline);
      return inTime;
    };
    const std::vector<std::string> local = hostsFile;
    return PreparedHosts{[answered, local](const std::string& host) {
                           return std::count(local.begin(), local.end(), host) > 0 || answered();
                         },
                         answered};
  };
  net.now = [this] { return clock; };
  return net;
}

HttpResult okBody(const std::string& body) {
  return {true, 200, body, ""};
}
HttpResult statusBody(std::uint32_t status, const std::string& body) {
  return {status >= 200 && status <= 299, status, body, ""};
}
HttpResult noAnswer(const std::string& failure) {
  return {false, 0, "", failure};
}

std::string describe(const LookupResult& result) {
  switch (result.outcome) {
    case Lookup::clear:
      return "clear";
    case Lookup::flagged:
      return "flagged";
    case Lookup::failed:
      return "failed: " + result.reason;
  }
  return "?";
}
