#pragma once
// Lists asked at their own name servers, against the fake internet; the same checks for every
// platform's runner. dnsblListedDirect walks direct.test (scenario dns.scn); whole scans run over
// a resolver that Spamhaus refuses (scenario refusing-resolver.scn).
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "fake_network.h"
#include "net/network.h"
#include "scan/run_scan.h"

struct DirectCase {
  std::string zone;
  std::string address;
  std::string expected;  // describe() of the answer
};

// The first name server of direct.test has nothing listening: every row also tries the next.
inline const std::vector<DirectCase>& directCases() {
  static const std::vector<DirectCase> cases = {
      {"direct.test", "192.0.2.10", "flagged"},
      {"direct.test", "192.0.2.11", "failed: refused by the list"},  // 127.255.255.254 here too
      {"direct.test", "192.0.2.13", "clear"},                        // NXDOMAIN
      {"direct.test", "192.0.2.14", "clear"},                        // no A record
      {"direct.test", "192.0.2.16", "failed: refused by the server"},
      {"direct.test", "192.0.2.17", "failed: time-out"},
      {"direct.test", "192.0.2.21", "flagged"},  // 300 records: truncated, then over TCP
      {"direct.test", "192.0.2.22", "failed: malformed answer"},  // a pointer to itself
      {"direct.test", "192.0.2.24", "failed: answer to another question"},
      {"direct.test", "192.0.2.26", "failed: answer of another type or class"},
      {"direct.test", "127.0.0.2", "flagged"},       // the test entry
      {"sub.direct.test", "192.0.2.10", "flagged"},  // no NS records: its parent's servers
      {"nons.test", "192.0.2.10", "failed: name servers of the list not found"},
      {"direct.test", "1..2.3", "failed: malformed query name"},
  };
  return cases;
}

inline void runDirectTable(
    const std::function<LookupResult(const std::string&, const std::string&)>& ask) {
  for (const DirectCase& c : directCases()) {
    SCOPED_TRACE(c.address + "." + c.zone);
    EXPECT_EQ(describe(ask(c.address, c.zone)), c.expected);
  }
}

inline std::string requestsLog() {
  const char* dir = std::getenv("FAKE_NET_DIR");
  std::ifstream in(std::string(dir ? dir : ".") + "/requests.log");
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Spamhaus's row reads what its own server says; SpamCop, whose refusal is its own, stays
// unknown and is never asked around the resolver.
inline void runRefusingResolverScans(const Network& net) {
  const char* DIRECT_FAILED = "refused via your DNS server; direct query failed";
  struct Case {
    const char* address;
    const char* status;
    const char* detail;
  };
  const Case cases[] = {
      {"203.0.113.77", "bad", ""},
      {"198.51.100.23", "clean", ""},
      {"198.51.100.7", "unknown", DIRECT_FAILED},   // the zone's server is silent
      {"198.51.100.24", "unknown", DIRECT_FAILED},  // ... or refuses
  };
  ScanOptions dnsOnly;
  dnsOnly.geo = dnsOnly.reputation = dnsOnly.tor = dnsOnly.local = false;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.address);
    const auto report = runScanReport(c.address, dnsOnly, net);
    ASSERT_TRUE(report);
    EXPECT_EQ(statusWord(report->sources[9].status), c.status);
    EXPECT_EQ(report->sources[9].detail, c.detail);
    EXPECT_EQ(report->sources[10].status, Status::unknown);
    EXPECT_EQ(report->sources[10].detail, "refused by the list");
  }
  const std::string log = requestsLog();
  EXPECT_NE(log.find("dns 77.113.0.203.sbl-xbl.spamhaus.org 1 @127.0.0.53\n"), std::string::npos);
  EXPECT_NE(log.find("dns 1.0.0.127.sbl-xbl.spamhaus.org 1 @127.0.0.53\n"), std::string::npos);
  EXPECT_EQ(log.find("dns bl.spamcop.net 2\n"), std::string::npos) << "no NS question for it";
  EXPECT_EQ(log.find("spamcop.net 1 @"), std::string::npos) << "nothing asked around the resolver";
}
