// The resolver with nothing listening where it points (scenario dns, resolv.conf changed).
#include <gtest/gtest.h>

#include "fake_network.h"
#include "net/dnsbl.h"
#include "net/reverse_dns.h"

// Run with the resolver pointed at an address where nothing listens (see CMakeLists.txt): a
// refused query is not a time-out, and never "not listed".
TEST(DnsNoServer, RefusedQueriesSaySo) {
  EXPECT_EQ(describe(dnsblListed("192.0.2.13", "bl.test")), "failed: DNS server unreachable");
  const NameLookup r = reverseDnsName("198.51.100.24");
  EXPECT_FALSE(r.answered);
  EXPECT_EQ(r.reason, "DNS server unreachable");
}
