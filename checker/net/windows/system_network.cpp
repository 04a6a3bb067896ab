// The real network on Windows: WinHTTP, the DNS client, Windows Sockets (also for a list's own
// name servers) and the user's proxy settings.
#include "net/dnsbl.h"
#include "net/network.h"
#include "net/prepare_hosts.h"
#include "net/reverse_dns.h"
#include "net/system_proxy.h"

Network systemNetwork() {
  Network net{httpGet, dnsblListed, dnsblListedDirect, reverseDnsName, systemProxyInUse};
  net.prepareHosts = prepareHosts;
  return net;
}
