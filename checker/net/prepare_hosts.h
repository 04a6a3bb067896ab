#pragma once
// The step before a scan's first request, shared by the platforms: each host is resolved on a
// thread of its own, and each is asked once more straight from the DNS server (past the hosts
// file and any cache) to learn whether that server answers at all. The platform gives the three
// primitives; nobody waits for a thread that outlives the deadline.
#include <functional>
#include <string>
#include <vector>

#include "net/network.h"

struct HostSteps {
  // Looks the host up as a request would; true when an address was found (and kept for later
  // requests).
  std::function<bool(const std::string& host)> resolve;
  // Asks the DNS server about `name` directly; true when any reply came, whatever it said.
  std::function<bool(const std::string& name, Deadline deadline)> dnsReplies;
  // Runs the body on a new thread nobody joins; false when the system refuses one.
  std::function<bool(std::function<void()> body)> startThread;
  // Whether requests go through a proxy, which looks their hosts up itself: then every host
  // counts as resolved, whatever the DNS server does.
  std::function<bool()> proxyInUse = {};
};

PreparedHosts prepareHostsWith(const std::vector<std::string>& hosts, Deadline deadline,
                               const HostSteps& steps);

// The platform's step over its own primitives (velmora_platform), for systemNetwork().
PreparedHosts prepareHosts(const std::vector<std::string>& hosts, Deadline deadline);
