// exchangeDnsUdp and exchangeDnsTcp on Windows Sockets: a connected UDP socket (an ICMP "port
// unreachable" ends the wait at once, as WSAECONNRESET), a non-blocking TCP one; select waits
// for each step. Each exchange holds its own counted start-up (sockets.h).
#include <winsock2.h>
#include <ws2tcpip.h>

#include <cstring>

#include "net/windows/sockets.h"
#include "net/zone_servers.h"

namespace {

constexpr long WAIT_CAP_MS = 10000;
constexpr std::size_t MESSAGE_BYTES = 65535;

sockaddr_in addressOf(const Ipv4Bytes& server) {
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(53);
  std::memcpy(&a.sin_addr, server.data(), server.size());
  return a;
}

// Waits until the socket can be read (or written), or has failed; false at the deadline.
bool waitFor(SOCKET s, bool write, Deadline deadline) {
  const long left = msUntil(deadline, WAIT_CAP_MS);
  if (left <= 0) return false;
  fd_set ready;
  fd_set failed;
  FD_ZERO(&ready);
  FD_ZERO(&failed);
  FD_SET(s, &ready);
  FD_SET(s, &failed);
  timeval wait{left / 1000, (left % 1000) * 1000};
  const int n = select(0, write ? nullptr : &ready, write ? &ready : nullptr, &failed, &wait);
  return n > 0 && !FD_ISSET(s, &failed);
}

bool sendAll(SOCKET s, const char* bytes, std::size_t size, Deadline deadline) {
  while (size > 0) {
    if (!waitFor(s, true, deadline)) return false;
    const int n = send(s, bytes, static_cast<int>(size), 0);
    if (n == SOCKET_ERROR && WSAGetLastError() == WSAEWOULDBLOCK) continue;
    if (n <= 0) return false;
    bytes += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

bool readExactly(SOCKET s, std::uint8_t* into, std::size_t size, Deadline deadline) {
  while (size > 0) {
    if (!waitFor(s, false, deadline)) return false;
    const int n = recv(s, reinterpret_cast<char*>(into), static_cast<int>(size), 0);
    if (n == SOCKET_ERROR && WSAGetLastError() == WSAEWOULDBLOCK) continue;
    if (n <= 0) return false;  // hung up, or broken
    into += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

std::optional<DnsMessage> udpReply(SOCKET s, std::uint16_t id, Deadline deadline) {
  DnsMessage buffer(MESSAGE_BYTES);
  while (waitFor(s, false, deadline)) {
    const int n =
        recv(s, reinterpret_cast<char*>(buffer.data()), static_cast<int>(MESSAGE_BYTES), 0);
    if (n == SOCKET_ERROR) return std::nullopt;  // WSAECONNRESET: nothing listens there
    DnsMessage reply(buffer.begin(), buffer.begin() + n);
    if (dnsMessageId(reply) == id) return reply;  // else a stray datagram: keep waiting
  }
  return std::nullopt;
}

// On a connected, non-blocking socket.
std::optional<DnsMessage> tcpReply(SOCKET s, const DnsMessage& query, Deadline deadline) {
  DnsMessage framed = {static_cast<std::uint8_t>(query.size() >> 8),
                       static_cast<std::uint8_t>(query.size() & 0xff)};
  framed.insert(framed.end(), query.begin(), query.end());
  std::uint8_t size[2];
  if (!sendAll(s, reinterpret_cast<const char*>(framed.data()), framed.size(), deadline) ||
      !readExactly(s, size, 2, deadline)) {
    return std::nullopt;
  }
  DnsMessage reply(static_cast<std::size_t>(size[0] << 8 | size[1]));
  if (!readExactly(s, reply.data(), reply.size(), deadline)) return std::nullopt;
  if (dnsMessageId(reply) != dnsMessageId(query)) return std::nullopt;
  return reply;
}

}  // namespace

std::optional<DnsMessage> exchangeDnsUdp(const Ipv4Bytes& server, const DnsMessage& query,
                                         Deadline deadline) {
  const SocketsScope sockets;
  if (!sockets.started) return std::nullopt;
  const SOCKET s = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
  if (s == INVALID_SOCKET) return std::nullopt;
  const sockaddr_in to = addressOf(server);
  std::optional<DnsMessage> reply;
  if (connect(s, reinterpret_cast<const sockaddr*>(&to), sizeof to) == 0 &&
      send(s, reinterpret_cast<const char*>(query.data()), static_cast<int>(query.size()), 0) ==
          static_cast<int>(query.size())) {
    reply = udpReply(s, dnsMessageId(query), deadline);
  }
  closesocket(s);
  return reply;
}

std::optional<DnsMessage> exchangeDnsTcp(const Ipv4Bytes& server, const DnsMessage& query,
                                         Deadline deadline) {
  const SocketsScope sockets;
  if (!sockets.started) return std::nullopt;
  const SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (s == INVALID_SOCKET) return std::nullopt;
  u_long nonBlocking = 1;
  const sockaddr_in to = addressOf(server);
  std::optional<DnsMessage> reply;
  if (ioctlsocket(s, FIONBIO, &nonBlocking) == 0) {
    const int rc = connect(s, reinterpret_cast<const sockaddr*>(&to), sizeof to);
    if ((rc == 0 || WSAGetLastError() == WSAEWOULDBLOCK) && waitFor(s, true, deadline)) {
      reply = tcpReply(s, query, deadline);
    }
  }
  closesocket(s);
  return reply;
}
