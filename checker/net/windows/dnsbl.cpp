// Blocklist query on the Windows DNS client (dns_query.h): type A, standard options, so the
// resolver's cache and configured servers are used. The query name and the reading of the A
// records are shared with the other platforms; an answer that holds only records of another
// type is no answer.
#include "net/dnsbl.h"

#include <cstring>
#include <string>
#include <vector>

#include "net/dnsbl_answer.h"
#include "net/windows/dns_query.h"

// DnsQuery_A takes no time limit; the system's own query limits apply.
LookupResult dnsblListed(const std::string& address, const std::string& zone,
                         Deadline /*deadline: no limit to set*/) {
  const std::optional<std::string> name = dnsblQueryName(address, zone);
  if (!name) return failedResult("not an IPv4 address");
  if (!isWellFormedQueryName(*name)) return failedResult("malformed query name");

  DnsRecordList records;
  const DNS_STATUS status = askDns(*name, DNS_TYPE_A, records);
  if (isNoSuchName(status)) return clearResult();
  if (status != 0) return failedResult(dnsFailureReason(status));

  // Only A records of the answer section count; a CNAME on the way is skipped.
  std::vector<Ipv4Bytes> addresses;
  bool foreign = false;
  for (const DNS_RECORDA* record = records.get(); record != nullptr; record = record->pNext) {
    if (record->Flags.S.Section != DnsSectionAnswer || record->wType == DNS_TYPE_CNAME) continue;
    if (record->wType != DNS_TYPE_A || record->wDataLength != sizeof(IP4_ADDRESS)) {
      foreign = true;
      continue;
    }
    Ipv4Bytes bytes{};
    // IpAddress holds the address in network order: its bytes are the dotted parts in order.
    std::memcpy(bytes.data(), &record->Data.A.IpAddress, bytes.size());
    addresses.push_back(bytes);
  }
  if (addresses.empty() && foreign) return failedResult("answer of another type or class");
  return classifyDnsblAnswer(addresses);
}
