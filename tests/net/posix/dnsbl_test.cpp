// dnsblListed, dnsblListedDirect and reverseDnsName against the fake internet's DNS servers
// (scenario dns; DirectScan in refusing-resolver).
#include "net/dnsbl.h"

#include <gtest/gtest.h>

#include <string>

#include "direct_cases.h"
#include "fake_network.h"
#include "platform_cases.h"

namespace {

TEST(Dnsbl, EveryZoneListsItsTestEntry) {
  checkEveryZone();
}

TEST(Dnsbl, AnswersAndAddressFormsAreReadAsTheListMeantThem) {
  checkDnsblAnswers(false);
}

TEST(DnsblDirect, TheZonesOwnServersAnswer) {
  runDirectTable([](const std::string& address, const std::string& zone) {
    return dnsblListedDirect(address, zone);
  });
}

// Scenario refusing-resolver (see CMakeLists.txt).
TEST(DirectScan, SpamhausBehindARefusingResolver) {
  runRefusingResolverScans(systemNetwork());
}

TEST(ReverseDns, NameNoNameAndFailure) {
  checkReverseDns();
}

}  // namespace

// Run with the resolver pointed at an address where nothing listens (see CMakeLists.txt): a
// refused query is not a time-out, and never "not listed".
TEST(DnsNoServer, RefusedQueriesSaySo) {
  EXPECT_EQ(describe(dnsblListed("192.0.2.13", "bl.test")), "failed: DNS server unreachable");
  const NameLookup r = reverseDnsName("198.51.100.24");
  EXPECT_FALSE(r.answered);
  EXPECT_EQ(r.reason, "DNS server unreachable");
}
