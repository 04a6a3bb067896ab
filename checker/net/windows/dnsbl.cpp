// Blocklist query on the Windows DNS client (dns_query.h), so the resolver's cache and
// configured servers are used. The query name and the reading of the answer are portable.
#include "net/dnsbl.h"

#include <string>

#include "net/dnsbl_answer.h"
#include "net/failure.h"
#include "net/windows/dns_query.h"

// The DNS client takes no time limit; the system's own query limits apply.
LookupResult dnsblListed(const std::string& address, const std::string& zone,
                         Deadline /*deadline: no limit to set*/) {
  const std::optional<std::string> name = dnsblQueryName(address, zone);
  if (!name) return failedResult("not an IPv4 address");
  if (!isWellFormedQueryName(*name)) return failedResult(failureWords(Failure::malformedQueryName));

  DnsRecordList records;
  const DNS_STATUS status = askDns(*name, DNS_TYPE_A, records);
  if (isNoSuchName(status)) return clearResult();
  if (status != 0) return failedResult(dnsFailureReason(status));

  return dnsblAnswerOf(answerRecords(records));
}
