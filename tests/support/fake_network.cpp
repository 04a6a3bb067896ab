#include "fake_network.h"

Network FakeNetwork::network() {
  Network net;
  net.httpGet = [this](const std::string& host, const std::string& path, bool secure) {
    calls.push_back((secure ? "https://" : "http://") + host + path);
    const auto it = http.find(host);
    return it == http.end() ? noAnswer("no connection") : it->second;
  };
  net.dnsblListed = [this](const std::string& address, const std::string& zone) {
    calls.push_back("dns " + zone + " " + address);
    const auto it = dnsbl.find(zone);
    return it == dnsbl.end() ? LookupResult{Lookup::clear, ""} : it->second;
  };
  net.reverseDnsName = [this](const std::string& address) {
    calls.push_back("ptr " + address);
    return reverse;
  };
  net.systemProxyInUse = [this]() {
    calls.push_back("proxy");
    return proxy;
  };
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
