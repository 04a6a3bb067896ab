#include "net/posix/dns_tcp.h"

#include <arpa/nameser.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

namespace {

constexpr long SERVER_LIMIT_MS = 10000;

// Waits until the socket is ready for `events` or `until` has passed.
bool waitFor(int fd, short events, Deadline until) {
  for (;;) {
    const long left = msUntil(until, SERVER_LIMIT_MS);
    if (left <= 0) return false;
    pollfd p{fd, events, 0};
    const int n = poll(&p, 1, static_cast<int>(left));
    if (n > 0) return (p.revents & (events | POLLHUP | POLLERR)) != 0;
    if (n < 0 && errno != EINTR) return false;
  }
}

bool sendAll(int fd, const std::vector<unsigned char>& bytes, Deadline until) {
  std::size_t sent = 0;
  while (sent < bytes.size()) {
    if (!waitFor(fd, POLLOUT, until)) return false;
    const ssize_t n = send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
    if (n < 0 && (errno == EAGAIN || errno == EINTR)) continue;
    if (n <= 0) return false;
    sent += static_cast<std::size_t>(n);
  }
  return true;
}

bool readExactly(int fd, unsigned char* into, std::size_t size, Deadline until) {
  std::size_t got = 0;
  while (got < size) {
    if (!waitFor(fd, POLLIN, until)) return false;
    const ssize_t n = recv(fd, into + got, size - got, 0);
    if (n < 0 && (errno == EAGAIN || errno == EINTR)) continue;
    if (n <= 0) return false;  // hung up, or broken
    got += static_cast<std::size_t>(n);
  }
  return true;
}

bool connectWithin(int fd, const sockaddr_in& server, Deadline until) {
  if (connect(fd, reinterpret_cast<const sockaddr*>(&server), sizeof server) == 0) return true;
  if (errno != EINPROGRESS) return false;
  if (!waitFor(fd, POLLOUT, until)) return false;
  int error = 0;
  socklen_t size = sizeof error;
  return getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) == 0 && error == 0;
}

}  // namespace

std::optional<std::vector<unsigned char>> askDnsServerOverTcp(
    const sockaddr_in& server, const std::vector<unsigned char>& query, Deadline until) {
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd < 0) return std::nullopt;
  std::vector<unsigned char> framed = {static_cast<unsigned char>(query.size() >> 8),
                                       static_cast<unsigned char>(query.size() & 0xff)};
  framed.insert(framed.end(), query.begin(), query.end());
  std::optional<std::vector<unsigned char>> reply;
  unsigned char size[2];
  if (connectWithin(fd, server, until) && sendAll(fd, framed, until) &&
      readExactly(fd, size, 2, until)) {
    std::vector<unsigned char> message(static_cast<std::size_t>(size[0] << 8 | size[1]));
    if (message.size() >= sizeof(HEADER) &&
        readExactly(fd, message.data(), message.size(), until)) {
      const auto* asked = reinterpret_cast<const HEADER*>(query.data());
      const auto* header = reinterpret_cast<const HEADER*>(message.data());
      if (header->id == asked->id && header->qr) reply = std::move(message);
    }
  }
  close(fd);
  return reply;
}

std::optional<std::vector<unsigned char>> askDnsOverTcp(const struct __res_state& state,
                                                        const std::vector<unsigned char>& query,
                                                        Deadline deadline) {
  if (query.size() < sizeof(HEADER) || query.size() > 65535) return std::nullopt;
  for (int i = 0; i < state.nscount && i < MAXNS; ++i) {
    const sockaddr_in& server = state.nsaddr_list[i];
    if (server.sin_family != AF_INET) continue;
    const long limit = msUntil(deadline, SERVER_LIMIT_MS);
    if (limit <= 0) break;
    const Deadline until = std::chrono::steady_clock::now() + std::chrono::milliseconds(limit);
    if (auto reply = askDnsServerOverTcp(server, query, until)) return reply;
  }
  return std::nullopt;
}
