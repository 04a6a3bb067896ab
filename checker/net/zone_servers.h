#pragma once
// Finding a zone's own name servers through the system resolver, and putting one DNS message to
// one of them. Each platform defines these (checker/net/posix, checker/net/windows); the direct
// blocklist question (dnsbl_direct.cpp) is built on them.
#include <optional>
#include <string>
#include <vector>

#include "net/deadline.h"
#include "net/dns_message.h"

// At most this many of a zone's name servers are looked up and asked.
inline constexpr std::size_t MAX_ZONE_SERVERS = 3;

// The IPv4 addresses of the name servers of `zone` (NS, then A of each name), in the order the
// resolver gave them. A name without NS records of its own is in its parent's zone: the parent
// is asked, down to two labels. Empty when none is found by `deadline`.
std::vector<Ipv4Bytes> zoneNameServers(const std::string& zone, Deadline deadline);

// `query` sent to port 53 of `server` over UDP: the first reply from it that carries the query's
// ID, or nothing by `deadline` (or at once when the server is known unreachable).
std::optional<DnsMessage> exchangeDnsUdp(const Ipv4Bytes& server, const DnsMessage& query,
                                         Deadline deadline);

// The same over TCP (two length bytes before each message), for a reply that came truncated.
std::optional<DnsMessage> exchangeDnsTcp(const Ipv4Bytes& server, const DnsMessage& query,
                                         Deadline deadline);
