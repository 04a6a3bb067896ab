// dnsblListed on the system resolver (dns_query.h); the answer is read by the portable
// dnsblAnswerOf, and one that does not parse is no answer.
#include "net/dnsbl.h"

#include <optional>
#include <vector>

#include "net/dnsbl_answer.h"
#include "net/failure.h"
#include "net/posix/dns_query.h"

LookupResult dnsblListed(const std::string& address, const std::string& zone, Deadline deadline) {
  const std::optional<std::string> name = dnsblQueryName(address, zone);
  if (!name) return failedResult("not an IPv4 address");
  if (!isWellFormedQueryName(*name)) return failedResult(failureWords(Failure::malformedQueryName));

  // A trailing dot: the name is asked as it is, never with the search list appended.
  const DnsReply reply = askDns(*name + ".", ns_t_a, deadline);
  if (reply.kind == DnsReply::Kind::noSuchName) return clearResult();
  if (reply.kind == DnsReply::Kind::failed) return failedResult(reply.reason);

  const std::optional<std::vector<DnsRecord>> records = answerRecords(reply);
  if (!records) return failedResult(failureWords(Failure::malformedAnswer));
  return dnsblAnswerOf(*records);
}
