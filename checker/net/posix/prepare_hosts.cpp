// The step before a scan on POSIX: getaddrinfo per host (the hosts file, then the DNS, as libcurl
// would look) with the addresses pinned for libcurl, and an A question per host through
// libresolv, which goes to the DNS server whatever the hosts file says. getaddrinfo cannot be
// cut short; its thread ends on the resolver's own limits, after the scan has moved on. Behind a
// proxy (the environment's or the desktop's) the proxy looks the hosts up.
#include "net/prepare_hosts.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <sys/socket.h>

#include "net/failure.h"
#include "net/posix/dns_query.h"
#include "net/posix/pinned_hosts.h"
#include "net/system_proxy.h"
#include "threads/thread_start.h"

namespace {

bool resolveAndPin(const std::string& host) {
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  if (getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0) return false;
  std::vector<std::string> addresses;
  for (const addrinfo* a = found; a != nullptr; a = a->ai_next) {
    char text[INET6_ADDRSTRLEN] = {};
    const void* raw = nullptr;
    if (a->ai_family == AF_INET) raw = &reinterpret_cast<const sockaddr_in*>(a->ai_addr)->sin_addr;
    if (a->ai_family == AF_INET6) {
      raw = &reinterpret_cast<const sockaddr_in6*>(a->ai_addr)->sin6_addr;
    }
    if (raw != nullptr && inet_ntop(a->ai_family, raw, text, sizeof text) != nullptr) {
      addresses.emplace_back(text);
    }
  }
  freeaddrinfo(found);
  pinHost(host, addresses);
  return !addresses.empty();
}

// Any reply counts, an error code included; silence, a refused port or no resolver at all do
// not.
bool dnsReplies(const std::string& name, Deadline deadline) {
  const DnsReply reply = askDns(name + ".", ns_t_a, deadline);
  return reply.kind != DnsReply::Kind::failed ||
         (reply.reason != failureWords(Failure::timeOut) &&
          reply.reason != failureWords(Failure::serverUnreachable) &&
          reply.reason != failureWords(Failure::noResolver));
}

}  // namespace

PreparedHosts prepareHosts(const std::vector<std::string>& hosts, Deadline deadline) {
  const auto proxyInUse = [] { return systemProxyInUse().outcome == Lookup::flagged; };
  return prepareHostsWith(hosts, deadline,
                          HostSteps{resolveAndPin, dnsReplies, startDetachedThread, proxyInUse});
}
