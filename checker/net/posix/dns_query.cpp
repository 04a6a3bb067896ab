#include "net/posix/dns_query.h"

#include <netdb.h>
#include <netinet/in.h>
#include <resolv.h>
#include <strings.h>

#include <cerrno>
#include <cstring>
#include <optional>

#include "net/failure.h"
#include "net/posix/dns_tcp.h"
#include "net/posix/resolver_deadline.h"

namespace {

// The largest DNS message (over TCP); a query is far smaller.
constexpr std::size_t MESSAGE_BYTES = 65535;
constexpr std::size_t QUERY_BYTES = NS_PACKETSZ;

DnsReply failed(std::string reason) {
  DnsReply reply;
  reply.reason = std::move(reason);
  return reply;
}

// res_nquery answers -1 for NXDOMAIN, NODATA, SERVFAIL, REFUSED and silence alike. h_errno
// tells a reply that came (its header then is the reply's) from a query that got none: then the
// buffer may still hold a reply the resolver ignored, or a truncated one, and says nothing.
DnsReply readFailure(const res_state state, const unsigned char* buffer, int savedErrno) {
  const auto* header = reinterpret_cast<const HEADER*>(buffer);
  switch (state->res_h_errno) {
    case HOST_NOT_FOUND:
    case NO_DATA: {
      DnsReply reply;
      reply.kind = DnsReply::Kind::noSuchName;
      return reply;
    }
    case NO_RECOVERY:
      if (header->rcode == ns_r_refused) return failed(failureWords(Failure::refusedByList));
      if (header->rcode == ns_r_formerr) return failed(failureWords(Failure::formatError));
      return failed("DNS error " + std::to_string(header->rcode));
    case TRY_AGAIN:  // also where every server answered SERVFAIL or REFUSED: still a failure
      if (header->qr && header->rcode == ns_r_servfail)
        return failed(failureWords(Failure::serverFailure));
      if (header->qr && header->rcode == ns_r_refused)
        return failed(failureWords(Failure::refusedByList));
      if (savedErrno == ECONNREFUSED) return failed(failureWords(Failure::serverUnreachable));
      return failed(failureWords(Failure::timeOut));
    default:
      return failed(failureWords(Failure::noResolver));
  }
}

// A whole reply judged as res_nquery judges one: by its rcode, and whether it holds records.
DnsReply readMessage(std::vector<unsigned char> message) {
  if (message.size() < sizeof(HEADER)) return failed(failureWords(Failure::malformedAnswer));
  const auto* header = reinterpret_cast<const HEADER*>(message.data());
  if (header->tc) return failed(failureWords(Failure::truncatedAnswer));
  DnsReply reply;
  switch (header->rcode) {
    case ns_r_noerror:
      break;
    case ns_r_nxdomain:
      reply.kind = DnsReply::Kind::noSuchName;
      return reply;
    case ns_r_servfail:
      return failed(failureWords(Failure::serverFailure));
    case ns_r_refused:
      return failed(failureWords(Failure::refusedByList));
    case ns_r_formerr:
      return failed(failureWords(Failure::formatError));
    default:
      return failed("DNS error " + std::to_string(header->rcode));
  }
  reply.kind = ntohs(header->ancount) == 0 ? DnsReply::Kind::noSuchName : DnsReply::Kind::answer;
  if (reply.kind == DnsReply::Kind::answer) reply.message = std::move(message);
  return reply;
}

// Whether both messages ask one question, and the same (names compared without case).
bool sameQuestion(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b) {
  ns_msg ma;
  ns_msg mb;
  ns_rr qa;
  ns_rr qb;
  if (ns_initparse(a.data(), static_cast<int>(a.size()), &ma) != 0 ||
      ns_initparse(b.data(), static_cast<int>(b.size()), &mb) != 0 ||
      ns_msg_count(mb, ns_s_qd) != 1 || ns_parserr(&ma, ns_s_qd, 0, &qa) != 0 ||
      ns_parserr(&mb, ns_s_qd, 0, &qb) != 0) {
    return false;
  }
  return ns_rr_type(qa) == ns_rr_type(qb) && ns_rr_class(qa) == ns_rr_class(qb) &&
         strcasecmp(ns_rr_name(qa), ns_rr_name(qb)) == 0;
}

// The question again over TCP, after a truncated UDP answer.
DnsReply askOverTcp(struct __res_state& state, const std::string& name, ns_type type,
                    Deadline deadline) {
  std::vector<unsigned char> query(QUERY_BYTES, 0);
  const int length = res_nmkquery(&state, ns_o_query, name.c_str(), ns_c_in, type, nullptr, 0,
                                  nullptr, query.data(), static_cast<int>(query.size()));
  if (length <= 0) return failed(failureWords(Failure::malformedQueryName));
  query.resize(static_cast<std::size_t>(length));
  std::optional<std::vector<unsigned char>> reply = askDnsOverTcp(state, query, deadline);
  if (!reply) return failed(failureWords(Failure::truncatedNoTcp));
  if (!sameQuestion(query, *reply)) return failed(failureWords(Failure::anotherQuestion));
  return readMessage(std::move(*reply));
}

}  // namespace

DnsReply askDns(const std::string& name, ns_type type, Deadline deadline) {
  struct __res_state state;
  std::memset(&state, 0, sizeof state);
  if (res_ninit(&state) != 0) {
    res_nclose(&state);
    return failed(failureWords(Failure::noResolver));
  }
  if (!fitResolverToDeadline(state, deadline)) {
    res_nclose(&state);
    return failed(failureWords(Failure::timeOut));
  }
  state.options |= RES_IGNTC;  // a truncated answer comes back here, for askOverTcp
  std::vector<unsigned char> buffer(MESSAGE_BYTES, 0);
  errno = 0;
  const int length = res_nquery(&state, name.c_str(), ns_c_in, type, buffer.data(),
                                static_cast<int>(buffer.size()));
  const int savedErrno = errno;
  const auto* header = reinterpret_cast<const HEADER*>(buffer.data());
  DnsReply reply;
  if (header->qr && header->tc) {  // whatever res_nquery made of it: NO_DATA, or a part
    reply = askOverTcp(state, name, type, deadline);
  } else if (length < 0) {
    reply = readFailure(&state, buffer.data(), savedErrno);
  } else if (static_cast<std::size_t>(length) > buffer.size()) {
    reply = failed(failureWords(Failure::malformedAnswer));
  } else {
    buffer.resize(static_cast<std::size_t>(length));
    reply = readMessage(std::move(buffer));
  }
  res_nclose(&state);
  return reply;
}

bool eachAnswerRecord(const DnsReply& reply,
                      const std::function<void(const ns_msg&, const ns_rr&)>& visit) {
  ns_msg message;
  if (ns_initparse(reply.message.data(), static_cast<int>(reply.message.size()), &message) != 0) {
    return false;
  }
  const int count = ns_msg_count(message, ns_s_an);
  for (int i = 0; i < count; ++i) {
    ns_rr rr;
    if (ns_parserr(&message, ns_s_an, i, &rr) != 0) return false;
    visit(message, rr);
  }
  return true;
}

std::optional<std::vector<DnsRecord>> answerRecords(const DnsReply& reply) {
  std::vector<DnsRecord> records;
  const bool parsed = eachAnswerRecord(reply, [&records](const ns_msg& message, const ns_rr& rr) {
    DnsRecord record;
    const bool internet = ns_rr_class(rr) == ns_c_in;
    if (internet && ns_rr_type(rr) == ns_t_cname) {
      record.kind = DnsRecord::Kind::cname;
    } else if (internet && ns_rr_type(rr) == ns_t_a && ns_rr_rdlen(rr) == 4) {
      record.kind = DnsRecord::Kind::a;
      std::memcpy(record.address.data(), ns_rr_rdata(rr), 4);
    } else if (internet && ns_rr_type(rr) == ns_t_ptr) {
      record.kind = DnsRecord::Kind::ptr;
      char name[NS_MAXDNAME];
      record.malformed = ns_name_uncompress(ns_msg_base(message), ns_msg_end(message),
                                            ns_rr_rdata(rr), name, sizeof name) < 0;
      if (!record.malformed) record.name = name;
    }
    records.push_back(std::move(record));
  });
  if (!parsed) return std::nullopt;
  return records;
}
