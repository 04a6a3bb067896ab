#include "net/posix/dns_query.h"

#include <netdb.h>
#include <netinet/in.h>
#include <resolv.h>

#include <cerrno>
#include <cstring>

#include "net/posix/resolver_deadline.h"

namespace {

// The largest DNS message; answers this big come over TCP, which res_nquery falls back to on
// its own when a UDP reply is truncated.
constexpr std::size_t MESSAGE_BYTES = 65535;

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
      if (header->rcode == ns_r_refused) return failed("refused by the list");
      if (header->rcode == ns_r_formerr) return failed("format error (FORMERR)");
      return failed("DNS error " + std::to_string(header->rcode));
    case TRY_AGAIN:  // also where every server answered SERVFAIL or REFUSED: still a failure
      if (header->qr && header->rcode == ns_r_servfail) return failed("server failure");
      if (header->qr && header->rcode == ns_r_refused) return failed("refused by the list");
      if (header->qr && header->tc) return failed("truncated answer, none over TCP");
      if (savedErrno == ECONNREFUSED) return failed("DNS server unreachable");
      return failed("time-out");
    default:
      return failed("no resolver");
  }
}

}  // namespace

DnsReply askDns(const std::string& name, ns_type type, Deadline deadline) {
  struct __res_state state;
  std::memset(&state, 0, sizeof state);
  if (res_ninit(&state) != 0) {
    res_nclose(&state);
    return failed("no resolver");
  }
  if (!fitResolverToDeadline(state, deadline)) {
    res_nclose(&state);
    return failed("time-out");
  }
  std::vector<unsigned char> buffer(MESSAGE_BYTES, 0);
  errno = 0;
  const int length = res_nquery(&state, name.c_str(), ns_c_in, type, buffer.data(),
                                static_cast<int>(buffer.size()));
  const int savedErrno = errno;
  DnsReply reply;
  if (length < 0) {
    reply = readFailure(&state, buffer.data(), savedErrno);
  } else if (static_cast<std::size_t>(length) < sizeof(HEADER) ||
             static_cast<std::size_t>(length) > buffer.size()) {
    reply = failed("malformed answer");
  } else if (reinterpret_cast<const HEADER*>(buffer.data())->tc) {
    reply = failed("truncated answer");
  } else {
    buffer.resize(static_cast<std::size_t>(length));
    reply.kind = DnsReply::Kind::answer;
    reply.message = std::move(buffer);
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
