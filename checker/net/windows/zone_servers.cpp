// zoneNameServers on the Windows DNS client (dns_query.h): NS, then A of each name, records of
// the answer section only. DnsQuery takes no time limit: a step not begun by the deadline is
// left out.
#include "net/zone_servers.h"

#include <cstring>

#include "net/windows/dns_query.h"

namespace {

constexpr long ANY_TIME_LEFT_MS = 1;

std::vector<std::string> nameServerNames(const std::string& name) {
  std::vector<std::string> names;
  DnsRecordList records;
  if (askDns(name, DNS_TYPE_NS, records) != 0) return names;
  for (const DNS_RECORDA* r = records.get(); r != nullptr; r = r->pNext) {
    if (r->Flags.S.Section == DnsSectionAnswer && r->wType == DNS_TYPE_NS &&
        r->Data.NS.pNameHost != nullptr) {
      names.emplace_back(r->Data.NS.pNameHost);
    }
  }
  return names;
}

void addAddresses(const std::string& host, std::vector<Ipv4Bytes>& into) {
  DnsRecordList records;
  if (askDns(host, DNS_TYPE_A, records) != 0) return;
  for (const DNS_RECORDA* r = records.get(); r != nullptr; r = r->pNext) {
    if (r->Flags.S.Section != DnsSectionAnswer || r->wType != DNS_TYPE_A ||
        r->wDataLength != sizeof(IP4_ADDRESS)) {
      continue;
    }
    Ipv4Bytes bytes{};
    // IpAddress holds the address in network order: its bytes are the dotted parts in order.
    std::memcpy(bytes.data(), &r->Data.A.IpAddress, bytes.size());
    into.push_back(bytes);
  }
}

}  // namespace

std::vector<Ipv4Bytes> zoneNameServers(const std::string& zone, Deadline deadline) {
  std::vector<std::string> names;
  for (std::string name = zone; names.empty() && msUntil(deadline, ANY_TIME_LEFT_MS) > 0;) {
    names = nameServerNames(name);
    const std::size_t dot = name.find('.');
    if (dot == std::string::npos || name.find('.', dot + 1) == std::string::npos) break;
    name.erase(0, dot + 1);
  }
  std::vector<Ipv4Bytes> servers;
  for (const std::string& host : names) {
    if (servers.size() >= MAX_ZONE_SERVERS || msUntil(deadline, ANY_TIME_LEFT_MS) == 0) break;
    addAddresses(host, servers);
  }
  if (servers.size() > MAX_ZONE_SERVERS) servers.resize(MAX_ZONE_SERVERS);
  return servers;
}
