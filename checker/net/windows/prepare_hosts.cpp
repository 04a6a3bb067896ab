// The step before a scan on Windows: getaddrinfo per host, which leaves each answer in the
// system's DNS cache where WinHTTP finds it, and an A question per host on the DNS client past
// its cache and the hosts file, to learn whether the DNS server answers at all. Neither call can
// be cut short; their threads end on the system's own limits, after the scan has moved on.
// Behind a proxy the user has set, the proxy looks the hosts up.
// clang-format off
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>
#include <windns.h>
// clang-format on

#include "net/prepare_hosts.h"

#include "net/system_proxy.h"
#include "net/windows/sockets.h"
#include "threads/thread_start.h"

namespace {

bool resolve(const std::string& host) {
  const SocketsScope sockets;
  if (!sockets.started) return false;
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  if (getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0) return false;
  freeaddrinfo(found);
  return true;
}

// Any reply counts, an error code included; silence or no server to ask do not. Neither does
// "server failure": Wine's DNS client reports silence so, and a server that fails a question
// about every service is no better than a silent one for the scan.
bool dnsReplies(const std::string& name, Deadline /*deadline: no limit to set*/) {
  PDNS_RECORDA records = nullptr;
  const DNS_STATUS status = DnsQuery_UTF8(name.c_str(), DNS_TYPE_A,
                                          DNS_QUERY_BYPASS_CACHE | DNS_QUERY_NO_HOSTS_FILE |
                                              DNS_QUERY_NO_NETBT | DNS_QUERY_TREAT_AS_FQDN,
                                          nullptr, &records, nullptr);
  if (records != nullptr) DnsFree(records, DnsFreeRecordList);
  return status != ERROR_TIMEOUT && status != DNS_ERROR_RCODE_SERVER_FAILURE &&
         status != DNS_ERROR_NO_DNS_SERVERS && status != WSAECONNREFUSED &&
         status != ERROR_INVALID_PARAMETER;
}

}  // namespace

PreparedHosts prepareHosts(const std::vector<std::string>& hosts, Deadline deadline) {
  const auto proxyInUse = [] { return systemProxyInUse().outcome == Lookup::flagged; };
  return prepareHostsWith(hosts, deadline,
                          HostSteps{resolve, dnsReplies, startDetachedThread, proxyInUse});
}
