#pragma once
// The seven web sources. Each makes exactly one request through net.httpGet.
#include <cstdint>
#include <string>

#include "net/network.h"
#include "scan/scan_options.h"

struct RiskResult {
  LookupResult result;
  std::int32_t risk = 0;  // 0 when the request failed or no number was read
};

LookupResult geoLookup(const std::string& address, const Network& net);
RiskResult proxyRisk(const std::string& address, const Network& net);
// The same two asking the keyed form of their service (over HTTPS, as always) when keys holds
// that service's key.
LookupResult keyedGeoLookup(const std::string& address, const Network& net,
                            const ServiceKeys& keys);
RiskResult keyedProxyRisk(const std::string& address, const Network& net, const ServiceKeys& keys);
LookupResult ipFlags(const std::string& address, const Network& net);
LookupResult ipDetails(const std::string& address, const Network& net);
LookupResult dbIp(const std::string& address, const Network& net);
LookupResult freeIpApi(const std::string& address, const Network& net);
LookupResult stopForumSpam(const std::string& address, const Network& net);
