// dnsblListed on libresolv (see dns_query.h). The A records are judged by the portable
// classifyDnsblAnswer; an answer that does not parse, or holds only records of another type or
// class, is no answer.
#include "net/dnsbl.h"

#include <cstring>
#include <vector>

#include "net/dnsbl_answer.h"
#include "net/posix/dns_query.h"

LookupResult dnsblListed(const std::string& address, const std::string& zone, Deadline deadline) {
  const std::optional<std::string> name = dnsblQueryName(address, zone);
  if (!name) return failedResult("not an IPv4 address");
  if (!isWellFormedQueryName(*name)) return failedResult("malformed query name");

  // A trailing dot: the name is asked as it is, never with the search list appended.
  const DnsReply reply = askDns(*name + ".", ns_t_a, deadline);
  if (reply.kind == DnsReply::Kind::noSuchName) return clearResult();
  if (reply.kind == DnsReply::Kind::failed) return failedResult(reply.reason);

  std::vector<Ipv4Bytes> records;
  bool foreign = false;  // a record that answers some other question
  const bool parsed = eachAnswerRecord(reply, [&](const ns_msg&, const ns_rr& rr) {
    if (ns_rr_class(rr) == ns_c_in && ns_rr_type(rr) == ns_t_cname) return;  // on the way
    if (ns_rr_class(rr) != ns_c_in || ns_rr_type(rr) != ns_t_a || ns_rr_rdlen(rr) != 4) {
      foreign = true;
      return;
    }
    Ipv4Bytes bytes;
    std::memcpy(bytes.data(), ns_rr_rdata(rr), 4);
    records.push_back(bytes);
  });
  if (!parsed) return failedResult("malformed answer");
  if (records.empty() && foreign) return failedResult("answer of another type or class");
  return classifyDnsblAnswer(records);
}
