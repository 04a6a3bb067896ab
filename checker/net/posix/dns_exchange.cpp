// exchangeDnsUdp and exchangeDnsTcp on BSD sockets: a connected, non-blocking UDP socket (so
// only the server's datagrams arrive, and an ICMP "port unreachable" ends the wait at once),
// poll for the reply; TCP through dns_tcp.h.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "net/posix/dns_tcp.h"
#include "net/zone_servers.h"

namespace {

constexpr long WAIT_CAP_MS = 10000;
constexpr std::size_t MESSAGE_BYTES = 65535;

sockaddr_in addressOf(const Ipv4Bytes& server) {
  sockaddr_in a;
  std::memset(&a, 0, sizeof a);
  a.sin_family = AF_INET;
  a.sin_port = htons(53);
  std::memcpy(&a.sin_addr, server.data(), server.size());
  return a;
}

std::optional<DnsMessage> receiveReply(int fd, std::uint16_t id, Deadline deadline) {
  DnsMessage buffer(MESSAGE_BYTES);
  for (;;) {
    const long left = msUntil(deadline, WAIT_CAP_MS);
    if (left <= 0) return std::nullopt;
    pollfd p{fd, POLLIN, 0};
    const int ready = poll(&p, 1, static_cast<int>(left));
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) return std::nullopt;
    const ssize_t n = recv(fd, buffer.data(), buffer.size(), 0);
    if (n < 0 && (errno == EAGAIN || errno == EINTR)) continue;
    if (n < 0) return std::nullopt;  // refused: nothing listens there
    buffer.resize(static_cast<std::size_t>(n));
    if (dnsMessageId(buffer) == id) return buffer;
    buffer.resize(MESSAGE_BYTES);  // a stray or forged datagram: keep waiting
  }
}

}  // namespace

std::optional<DnsMessage> exchangeDnsUdp(const Ipv4Bytes& server, const DnsMessage& query,
                                         Deadline deadline) {
  const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd < 0) return std::nullopt;
  const sockaddr_in to = addressOf(server);
  std::optional<DnsMessage> reply;
  if (connect(fd, reinterpret_cast<const sockaddr*>(&to), sizeof to) == 0 &&
      send(fd, query.data(), query.size(), 0) == static_cast<ssize_t>(query.size())) {
    reply = receiveReply(fd, dnsMessageId(query), deadline);
  }
  close(fd);
  return reply;
}

std::optional<DnsMessage> exchangeDnsTcp(const Ipv4Bytes& server, const DnsMessage& query,
                                         Deadline deadline) {
  const long limit = msUntil(deadline, WAIT_CAP_MS);
  if (limit <= 0) return std::nullopt;
  const Deadline until = std::chrono::steady_clock::now() + std::chrono::milliseconds(limit);
  std::optional<std::vector<unsigned char>> reply =
      askDnsServerOverTcp(addressOf(server), {query.begin(), query.end()}, until);
  if (!reply) return std::nullopt;
  return DnsMessage(reply->begin(), reply->end());
}
