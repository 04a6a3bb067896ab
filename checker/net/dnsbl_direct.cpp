// dnsblListedDirect, the same on every platform: the zone's name servers and the exchange with
// one of them come from zone_servers.h, the reading from dns_message.h.
#include <algorithm>
#include <random>

#include "net/dnsbl.h"
#include "net/dnsbl_answer.h"
#include "net/failure.h"
#include "net/zone_servers.h"

namespace {

std::uint16_t randomId() {
  thread_local std::mt19937 generator{std::random_device{}()};
  return static_cast<std::uint16_t>(std::uniform_int_distribution<int>(0, 0xffff)(generator));
}

DnsAnswerA askServer(const Ipv4Bytes& server, const DnsMessage& query, Deadline until) {
  std::optional<DnsMessage> reply = exchangeDnsUdp(server, query, until);
  if (!reply) return {DnsAnswerA::Kind::failed, {}, failureWords(Failure::timeOut)};
  DnsAnswerA answer = readDnsAnswerA(query, *reply);
  if (answer.kind != DnsAnswerA::Kind::truncated) return answer;
  reply = exchangeDnsTcp(server, query, until);
  if (!reply) return {DnsAnswerA::Kind::failed, {}, failureWords(Failure::truncatedNoTcp)};
  answer = readDnsAnswerA(query, *reply);
  if (answer.kind != DnsAnswerA::Kind::truncated) return answer;
  return {DnsAnswerA::Kind::failed, {}, failureWords(Failure::truncatedAnswer)};
}

}  // namespace

LookupResult dnsblListedDirect(const std::string& address, const std::string& zone,
                               Deadline deadline) {
  const std::optional<std::string> name = dnsblQueryName(address, zone);
  if (!name) return failedResult("not an IPv4 address");
  const DnsMessage query = dnsQueryA(*name, randomId());
  if (query.empty()) return failedResult(failureWords(Failure::malformedQueryName));

  const Deadline until = std::min(deadline, std::chrono::steady_clock::now() + DIRECT_QUERY_LIMIT);
  const std::vector<Ipv4Bytes> servers = zoneNameServers(zone, until);
  if (servers.empty()) return failedResult("name servers of the list not found");
  std::string reason;
  for (std::size_t i = 0; i < servers.size(); ++i) {
    const long left = msUntil(until, std::chrono::milliseconds(DIRECT_QUERY_LIMIT).count());
    if (left <= 0) break;
    // An even share of what is left, so that a silent server leaves time for the next.
    const long share = left / static_cast<long>(servers.size() - i);
    const Deadline tryUntil = std::chrono::steady_clock::now() + std::chrono::milliseconds(share);
    const DnsAnswerA answer = askServer(servers[i], query, tryUntil);
    if (answer.kind != DnsAnswerA::Kind::failed) return dnsblResultOf(answer);
    reason = answer.reason;
  }
  return failedResult(reason.empty() ? failureWords(Failure::timeOut) : reason);
}
