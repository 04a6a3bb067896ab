// dnsblListed, dnsblListedDirect and reverseDnsName against the fake internet's DNS servers
// (scenario dns; DirectScan in refusing-resolver).
#include "net/dnsbl.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "catalogue/catalogue.h"
#include "direct_cases.h"
#include "fake_network.h"
#include "net/reverse_dns.h"

namespace {

TEST(Dnsbl, EveryZoneListsItsTestEntry) {
  for (const SourceIdentity& row : blocklistSources()) {
    const std::string zone(row.zone);
    SCOPED_TRACE(zone);
    EXPECT_EQ(describe(dnsblListed("127.0.0.2", zone)), "flagged");
    EXPECT_EQ(describe(dnsblListed("192.0.2.13", zone)), "clear");  // NXDOMAIN
  }
}

TEST(Dnsbl, AnswersAndAddressFormsAreReadAsTheListMeantThem) {
  struct Case {
    std::string address;
    std::string expected;
  };
  const std::vector<Case> cases = {
      {"192.0.2.10", "flagged"},
      {"192.0.2.11", "failed: refused by the list"},       // 127.255.255.254
      {"192.0.2.12", "failed: filtered by the resolver"},  // 127.0.0.1
      {"192.0.2.13", "clear"},                             // NXDOMAIN
      {"192.0.2.14", "clear"},                             // no A record
      {"192.0.2.15", "failed: server failure"},            // SERVFAIL
      {"192.0.2.16", "failed: refused by the list"},       // REFUSED
      {"192.0.2.17", "failed: time-out"},                  // no reply at all
      {"192.0.2.18", "failed: not a listing code"},        // a resolver's own address
      {"192.0.2.19", "flagged"},                           // a refusal code beside a listing
      {"1.2.3", "failed: not an IPv4 address"},
      {"1.2.3.4.5", "failed: not an IPv4 address"},
      {"", "failed: not an IPv4 address"},
      {"2001:db8::1", "failed: not an IPv4 address"},
      {"a.b.c.d", "clear"},     // queried as d.c.b.a: the list does not know it
      {"1.2.3.4.", "flagged"},  // a trailing dot adds no part
      {".1.2.3", "failed: malformed query name"},
      {"1..2.3", "failed: malformed query name"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.address);
    EXPECT_EQ(describe(dnsblListed(c.address, "bl.test")), c.expected);
  }
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
  struct Case {
    std::string address;
    bool answered;
    std::string name;
  };
  const std::vector<Case> cases = {
      {"198.51.100.23", true, "c-198-51-100-23.hsd1.ca.comcast.net"},
      {"198.51.100.24", true, ""},   // NXDOMAIN: no PTR record
      {"198.51.100.25", false, ""},  // SERVFAIL: no answer
      {"a.b.c.d", true, ""},         // not dotted IPv4: nothing is asked
      {"1.2.3", true, ""},
      {std::string("198.51.100.23\0x", 15), true, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.address);
    const NameLookup r = reverseDnsName(c.address);
    EXPECT_EQ(r.answered, c.answered);
    EXPECT_EQ(r.name, c.name);
    EXPECT_EQ(r.reason.empty(), c.answered);
  }
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
