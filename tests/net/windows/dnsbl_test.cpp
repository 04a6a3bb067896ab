// dnsblListed (DnsQuery_A) and reverseDnsName (getnameinfo) against the fake internet's DNS
// server: the answers of the shared dns scenario, read as the other platforms read them.
#include "net/dnsbl.h"

#include <gtest/gtest.h>

#include <set>
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

// Wine's DNS client passes every resolver failure on as DNS_ERROR_RCODE_SERVER_FAILURE, where
// Windows tells REFUSED and time-outs apart: each such case lists the words both may give.
TEST(Dnsbl, AnswersAndAddressFormsAreReadAsTheListMeantThem) {
  struct Case {
    std::string address;
    std::set<std::string> expected;
  };
  const std::vector<Case> cases = {
      {"192.0.2.10", {"flagged"}},
      {"192.0.2.11", {"failed: refused by the list"}},                            // 127.255.255.254
      {"192.0.2.12", {"failed: filtered by the resolver"}},                       // 127.0.0.1
      {"192.0.2.13", {"clear"}},                                                  // NXDOMAIN
      {"192.0.2.14", {"clear"}},                                                  // no A record
      {"192.0.2.15", {"failed: server failure"}},                                 // SERVFAIL
      {"192.0.2.16", {"failed: refused by the list", "failed: server failure"}},  // REFUSED
      {"192.0.2.17", {"failed: time-out", "failed: server failure"}},             // no reply at all
      {"192.0.2.18", {"failed: not a listing code"}},  // a resolver's own address
      {"192.0.2.19", {"flagged"}},                     // a refusal code beside a listing
      {"1.2.3", {"failed: not an IPv4 address"}},
      {"1.2.3.4.5", {"failed: not an IPv4 address"}},
      {"", {"failed: not an IPv4 address"}},
      {"2001:db8::1", {"failed: not an IPv4 address"}},
      {"a.b.c.d", {"clear"}},     // queried as d.c.b.a: the list does not know it
      {"1.2.3.4.", {"flagged"}},  // a trailing dot adds no part
      {".1.2.3", {"failed: malformed query name"}},
      {"1..2.3", {"failed: malformed query name"}},
      {std::string(64, '7') + ".1.2.3", {"failed: malformed query name"}},  // label over 63
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.address);
    const std::string got = describe(dnsblListed(c.address, "bl.test"));
    EXPECT_TRUE(c.expected.count(got)) << got;
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
    EXPECT_EQ(r.answered, c.answered) << r.reason;
    EXPECT_EQ(r.name, c.name);
    if (!c.answered) {
      EXPECT_FALSE(r.reason.empty());
    }
  }
}

}  // namespace
