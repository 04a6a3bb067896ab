// The step before a scan on the platform's own primitives, in the fake internet: the hosts file
// answers without the DNS server, "no such name" is an answer, and a silent server is known by
// the step's deadline.
#include "net/prepare_hosts.h"

#include <gtest/gtest.h>

namespace {

constexpr std::chrono::seconds LIMIT{5};

TEST(PrepareHosts, FindsTheHostsAndHearsTheServer) {
  const PreparedHosts prepared =
      prepareHosts({"web.test", "nowhere.test"}, std::chrono::steady_clock::now() + LIMIT);
  EXPECT_TRUE(prepared.hostResolved("web.test"));
  EXPECT_FALSE(prepared.hostResolved("nowhere.test"));
  EXPECT_TRUE(prepared.hostResolved("other.test")) << "not prepared: no opinion";
  EXPECT_TRUE(prepared.dnsAnswered());
}

// Run where no DNS question is answered (the dead-network scenario).
TEST(PrepareHostsSilent, NothingAnswersByTheDeadline) {
  const PreparedHosts prepared =
      prepareHosts({"ipinfo.io", "api.db-ip.com"}, std::chrono::steady_clock::now() + LIMIT);
  EXPECT_FALSE(prepared.hostResolved("ipinfo.io"));
  EXPECT_FALSE(prepared.dnsAnswered());
}

}  // namespace
