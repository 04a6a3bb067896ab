#include "scan/host_warmup.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "catalogue/catalogue.h"
#include "scan/scan_words.h"
#include "scan/time_limit.h"

namespace {

void addHost(std::vector<std::string>& hosts, std::string_view key) {
  const std::string host(sourceByKey(key).host);
  if (std::find(hosts.begin(), hosts.end(), host) == hosts.end()) hosts.push_back(host);
}

// The web hosts in the order the scan asks them. A scan of the blocklists alone prepares their
// zones instead: it still learns early whether the DNS server answers.
std::vector<std::string> hostsToPrepare(const ScanOptions& options, bool discovers) {
  std::vector<std::string> hosts;
  if (discovers) addHost(hosts, "publicIpEcho");
  if (options.geo) addHost(hosts, "geoLookup");
  if (options.reputation) {
    for (const char* key : {"proxyRisk", "ipFlags", "ipDetails"}) addHost(hosts, key);
    if (scanModeOf(options.mode) != ScanMode::fast) {
      for (const char* key : {"dbIp", "freeIpApi"}) addHost(hosts, key);
    }
    addHost(hosts, "stopForumSpam");
  }
  if (options.tor) addHost(hosts, "torExitList");
  if (hosts.empty() && options.dns) {
    for (const SourceIdentity& row : blocklistSources()) hosts.emplace_back(row.zone);
  }
  return hosts;
}

HttpResult dnsSilentReply() {
  HttpResult none;
  none.failure = DNS_SILENT_REASON;
  return none;
}

}  // namespace

Network afterHostWarmup(const Network& net, const ScanOptions& options, bool discovers) {
  const std::vector<std::string> hosts = hostsToPrepare(options, discovers);
  if (!net.prepareHosts || hosts.empty()) return net;
  const auto prepared =
      std::make_shared<PreparedHosts>(net.prepareHosts(hosts, nowOn(net) + HOST_WARMUP_LIMIT));

  Network warmed = net;
  warmed.httpGet = [inner = net.httpGet, prepared](const std::string& host, const std::string& path,
                                                   bool secure, Deadline deadline) {
    if (!prepared->hostResolved(host) && !prepared->dnsAnswered()) return dnsSilentReply();
    return inner(host, path, secure, deadline);
  };
  warmed.dnsblListed = [inner = net.dnsblListed, prepared](
                           const std::string& address, const std::string& zone, Deadline deadline) {
    if (!prepared->dnsAnswered()) return failedResult(DNS_SILENT_REASON);
    return inner(address, zone, deadline);
  };
  warmed.reverseDnsName = [inner = net.reverseDnsName, prepared](const std::string& address,
                                                                 Deadline deadline) {
    if (!prepared->dnsAnswered()) return NameLookup{false, {}, DNS_SILENT_REASON};
    return inner(address, deadline);
  };
  return warmed;
}
