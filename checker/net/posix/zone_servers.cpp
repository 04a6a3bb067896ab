// zoneNameServers on libresolv (dns_query.h): NS, then A of each name; ns_name_uncompress reads
// the names.
#include "net/zone_servers.h"

#include <cstring>

#include "net/posix/dns_query.h"

namespace {

// The NS names of `name`; nothing when it has none (or the question failed).
std::vector<std::string> nameServerNames(const std::string& name, Deadline deadline) {
  std::vector<std::string> names;
  const DnsReply reply = askDns(name + ".", ns_t_ns, deadline);
  if (reply.kind != DnsReply::Kind::answer) return names;
  eachAnswerRecord(reply, [&](const ns_msg& message, const ns_rr& rr) {
    if (ns_rr_class(rr) != ns_c_in || ns_rr_type(rr) != ns_t_ns) return;
    char host[NS_MAXDNAME];
    if (ns_name_uncompress(ns_msg_base(message), ns_msg_end(message), ns_rr_rdata(rr), host,
                           sizeof host) >= 0) {
      names.emplace_back(host);
    }
  });
  return names;
}

void addAddresses(const std::string& host, Deadline deadline, std::vector<Ipv4Bytes>& into) {
  const DnsReply reply = askDns(host + ".", ns_t_a, deadline);
  if (reply.kind != DnsReply::Kind::answer) return;
  eachAnswerRecord(reply, [&](const ns_msg&, const ns_rr& rr) {
    if (ns_rr_class(rr) != ns_c_in || ns_rr_type(rr) != ns_t_a || ns_rr_rdlen(rr) != 4) return;
    Ipv4Bytes bytes;
    std::memcpy(bytes.data(), ns_rr_rdata(rr), 4);
    into.push_back(bytes);
  });
}

}  // namespace

std::vector<Ipv4Bytes> zoneNameServers(const std::string& zone, Deadline deadline) {
  std::vector<std::string> names;
  for (std::string name = zone; names.empty();) {
    names = nameServerNames(name, deadline);
    const std::size_t dot = name.find('.');
    if (dot == std::string::npos || name.find('.', dot + 1) == std::string::npos) break;
    name.erase(0, dot + 1);
  }
  std::vector<Ipv4Bytes> servers;
  for (const std::string& host : names) {
    if (servers.size() >= MAX_ZONE_SERVERS) break;
    addAddresses(host, deadline, servers);
  }
  if (servers.size() > MAX_ZONE_SERVERS) servers.resize(MAX_ZONE_SERVERS);
  return servers;
}
