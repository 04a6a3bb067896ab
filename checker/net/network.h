#pragma once
// The seam between the scan engine and the network. runScan and discovery take this record;
// systemNetwork() gives the real primitives, tests pass scripted fakes that record each call.
#include <functional>
#include <string>

#include "net/http.h"
#include "net/lookup.h"

struct Network {
  std::function<HttpResult(const std::string& host, const std::string& path, bool secure)> httpGet;
  std::function<LookupResult(const std::string& address, const std::string& zone)> dnsblListed;
  std::function<NameLookup(const std::string& address)> reverseDnsName;
  std::function<LookupResult()> systemProxyInUse;
};

// Defined by the platform library (velmora_platform).
Network systemNetwork();
