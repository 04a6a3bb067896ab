// dnsblListed, dnsblListedDirect and reverseDnsName on this platform's resolver against the
// fake internet's DNS servers (scenario dns; DirectScan in refusing-resolver). One file for
// every platform; VELMORA_TEST_ON_WINE lets Wine's DNS client off with its own words.
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
  checkDnsblAnswers(VELMORA_TEST_ON_WINE);
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
