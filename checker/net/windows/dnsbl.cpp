// Blocklist query on the Windows DNS client: DnsQuery_A (type A, standard options, so the
// resolver's cache and configured servers are used) and DnsFree with DnsFreeRecordList.
// NetBIOS is left out: a short name the DNS does not know would otherwise be broadcast on the
// local network, carrying the scanned address with it.
// The query name and the reading of the A records are shared with the other platforms.
// windns.h needs the types of windows.h.
// clang-format off
#include <windows.h>
#include <windns.h>
// clang-format on

#include "net/dnsbl.h"

#include <cstring>
#include <string>
#include <vector>

#include "net/dnsbl_answer.h"

namespace {

std::string reasonFor(DNS_STATUS status) {
  switch (status) {
    case ERROR_TIMEOUT:
      return "time-out";
    case DNS_ERROR_RCODE_SERVER_FAILURE:
      return "server failure";
    case DNS_ERROR_RCODE_REFUSED:
      return "refused by the list";
    case DNS_ERROR_RCODE_FORMAT_ERROR:
    case DNS_ERROR_INVALID_NAME:
    case DNS_ERROR_INVALID_NAME_CHAR:
      return "malformed query name";
    default:
      return "DNS error " + std::to_string(status);
  }
}

}  // namespace

// DnsQuery_A takes no time limit; the system's own query limits apply.
LookupResult dnsblListed(const std::string& address, const std::string& zone,
                         Deadline /*deadline: no limit to set*/) {
  const std::optional<std::string> name = dnsblQueryName(address, zone);
  if (!name) return failedResult("not an IPv4 address");
  if (!isWellFormedQueryName(*name)) return failedResult("malformed query name");

  // The list's names are narrow here; only the A data is read, which both forms share.
  PDNS_RECORD records = nullptr;
  const DNS_STATUS status =
      DnsQuery_A(name->c_str(), DNS_TYPE_A, DNS_QUERY_STANDARD | DNS_QUERY_NO_NETBT, nullptr,
                 &records, nullptr);
  if (status == DNS_ERROR_RCODE_NAME_ERROR || status == DNS_INFO_NO_RECORDS) {
    if (records) DnsFree(records, DnsFreeRecordList);
    return clearResult();
  }
  if (status != 0) {
    if (records) DnsFree(records, DnsFreeRecordList);
    return failedResult(reasonFor(status));
  }

  // Only A records of the answer section count; a CNAME on the way is skipped.
  std::vector<Ipv4Bytes> addresses;
  for (PDNS_RECORD record = records; record != nullptr; record = record->pNext) {
    if (record->wType != DNS_TYPE_A || record->Flags.S.Section != DnsSectionAnswer) continue;
    Ipv4Bytes bytes{};
    // IpAddress holds the address in network order: its bytes are the dotted parts in order.
    std::memcpy(bytes.data(), &record->Data.A.IpAddress, bytes.size());
    addresses.push_back(bytes);
  }
  if (records) DnsFree(records, DnsFreeRecordList);
  return classifyDnsblAnswer(addresses);
}
