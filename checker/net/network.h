#pragma once
// The seam between the scan engine and the network. runScan and discovery take this record;
// systemNetwork() gives the real primitives, tests pass scripted fakes that record each call.
#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "net/deadline.h"
#include "net/http.h"
#include "net/lookup.h"

// The most a direct blocklist question may take, name-server look-ups included.
inline constexpr std::chrono::seconds DIRECT_QUERY_LIMIT{4};

// What asking for every host at once found out. Both calls wait for the answer they need, but
// no longer than the deadline the hosts were prepared under, and may be called again.
struct PreparedHosts {
  // Whether this host has an address now, so that a request to it needs no further DNS answer
  // (true for a host that was not prepared).
  std::function<bool(const std::string& host)> hostResolved;
  // Whether the DNS server answered any question at all, whatever the answer said.
  std::function<bool()> dnsAnswered;
};

// Each network call ends by its deadline at the latest. A scan hands its sources a Network whose
// calls already carry the scan's own deadline, so a source asks with NO_DEADLINE.
struct Network {
  std::function<HttpResult(const std::string& host, const std::string& path, bool secure,
                           Deadline deadline)>
      httpGet;
  std::function<LookupResult(const std::string& address, const std::string& zone,
                             Deadline deadline)>
      dnsblListed;
  // The same question put to the zone's own name servers, bypassing the resolver: for a list
  // that refuses the user's resolver. Ends within DIRECT_QUERY_LIMIT.
  std::function<LookupResult(const std::string& address, const std::string& zone,
                             Deadline deadline)>
      dnsblListedDirect;
  std::function<NameLookup(const std::string& address, Deadline deadline)> reverseDnsName;
  std::function<LookupResult()> systemProxyInUse;
  // The clock deadlines are read on; empty means the steady clock. Tests pass a scripted one.
  std::function<Deadline()> now = {};
  // Starts looking up `hosts` all at once and returns without waiting; later requests to a host
  // use the address found. Empty: no step before the requests, each resolves its own host.
  std::function<PreparedHosts(const std::vector<std::string>& hosts, Deadline deadline)>
      prepareHosts = {};
};

// Defined by the platform library (velmora_platform).
Network systemNetwork();
