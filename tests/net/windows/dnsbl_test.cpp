// dnsblListed and reverseDnsName on the Windows DNS client against the fake internet's DNS
// server: the answers of the shared dns scenario, read as the other platforms read them.
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
  checkDnsblAnswers(true);
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
