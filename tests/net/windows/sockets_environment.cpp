// reverseDnsName needs Windows Sockets started, as the scan worker does before a scan; and the
// scope that starts them for a worker.
#include <gtest/gtest.h>
#include <winsock2.h>

#include "net/windows/sockets.h"

namespace {

class Sockets : public ::testing::Environment {
 public:
  void SetUp() override {
    WSADATA data;
    ASSERT_EQ(WSAStartup(MAKEWORD(2, 2), &data), 0);
  }
  void TearDown() override { WSACleanup(); }
};
const auto* const g_sockets = ::testing::AddGlobalTestEnvironment(new Sockets);

}  // namespace

namespace {

bool socketsWork() {
  const SOCKET s = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
  if (s == INVALID_SOCKET) return false;
  closesocket(s);
  return true;
}

// A start-up that failed (a version nobody supports) must not clean up the one the process
// already holds; one that succeeded gives its count back.
TEST(Sockets, OnlyAStartUpThatSucceededIsCleanedUp) {
  ASSERT_TRUE(socketsWork());
  {
    const SocketsScope refused(MAKEWORD(0, 0));
    EXPECT_FALSE(refused.started);
  }
  EXPECT_TRUE(socketsWork());
  {
    const SocketsScope scope;
    EXPECT_TRUE(scope.started);
  }
  EXPECT_TRUE(socketsWork());
}

}  // namespace
