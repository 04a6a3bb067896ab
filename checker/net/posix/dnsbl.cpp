// dnsblListed on libresolv: res_ninit / res_nquery / res_nclose on a resolver state of the
// call's own (scans run on several threads at once), ns_initparse / ns_parserr to read the A
// records. The answer itself is judged by the portable classifyDnsblAnswer.
#include "net/dnsbl.h"

#include <arpa/nameser.h>
#include <netinet/in.h>
#include <resolv.h>

#include <cstring>
#include <vector>

#include "net/dnsbl_answer.h"
#include "net/posix/resolver_deadline.h"

namespace {

constexpr std::size_t ANSWER_BYTES = 4096;

std::vector<Ipv4Bytes> aRecords(const unsigned char* answer, int length) {
  std::vector<Ipv4Bytes> records;
  ns_msg message;
  if (ns_initparse(answer, length, &message) != 0) return records;
  const int count = ns_msg_count(message, ns_s_an);
  for (int i = 0; i < count; ++i) {
    ns_rr rr;
    if (ns_parserr(&message, ns_s_an, i, &rr) != 0) break;
    if (ns_rr_type(rr) != ns_t_a || ns_rr_class(rr) != ns_c_in || ns_rr_rdlen(rr) != 4) continue;
    Ipv4Bytes bytes;
    std::memcpy(bytes.data(), ns_rr_rdata(rr), 4);
    records.push_back(bytes);
  }
  return records;
}

// res_nquery answers -1 for NXDOMAIN, NODATA, SERVFAIL, REFUSED and silence alike; the reply
// header it leaves in the buffer (if any arrived) tells them apart.
LookupResult readFailedQuery(const unsigned char* answer) {
  const auto* header = reinterpret_cast<const HEADER*>(answer);
  if (!header->qr) return failedResult("time-out");
  switch (header->rcode) {
    case ns_r_nxdomain:
      return clearResult();
    case ns_r_noerror:
      return clearResult();  // the name exists without an A record
    case ns_r_servfail:
      return failedResult("server failure");
    case ns_r_refused:
      return failedResult("refused by the list");
    default:
      return failedResult("DNS error " + std::to_string(header->rcode));
  }
}

}  // namespace

LookupResult dnsblListed(const std::string& address, const std::string& zone, Deadline deadline) {
  const std::optional<std::string> name = dnsblQueryName(address, zone);
  if (!name) return failedResult("not an IPv4 address");
  if (!isWellFormedQueryName(*name)) return failedResult("malformed query name");

  struct __res_state state;
  std::memset(&state, 0, sizeof state);
  if (res_ninit(&state) != 0) {
    res_nclose(&state);
    return failedResult("no resolver");
  }
  if (!fitResolverToDeadline(state, deadline)) {
    res_nclose(&state);
    return failedResult("time-out");
  }
  std::vector<unsigned char> answer(ANSWER_BYTES, 0);
  const int length = res_nquery(&state, name->c_str(), ns_c_in, ns_t_a, answer.data(),
                                static_cast<int>(answer.size()));
  res_nclose(&state);

  if (length < 0) return readFailedQuery(answer.data());
  if (length < static_cast<int>(sizeof(HEADER))) return failedResult("malformed answer");
  return classifyDnsblAnswer(aRecords(answer.data(), std::min<int>(length, ANSWER_BYTES)));
}
