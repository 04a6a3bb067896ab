// The real network of a POSIX system: libcurl for HTTP, a per-call libresolv state for blocklist
// and PTR questions, sockets of our own for a list's own name servers, the desktop settings and
// the environment for the proxy.
#include "net/dnsbl.h"
#include "net/http.h"
#include "net/network.h"
#include "net/prepare_hosts.h"
#include "net/reverse_dns.h"
#include "net/system_proxy.h"

Network systemNetwork() {
  Network net;
  net.httpGet = httpGet;
  net.dnsblListed = dnsblListed;
  net.dnsblListedDirect = dnsblListedDirect;
  net.reverseDnsName = reverseDnsName;
  net.systemProxyInUse = systemProxyInUse;
  net.prepareHosts = prepareHosts;
  return net;
}
