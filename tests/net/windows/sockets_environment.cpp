// reverseDnsName needs Windows Sockets started, as the scan worker does before a scan.
#include <gtest/gtest.h>
#include <winsock2.h>

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
