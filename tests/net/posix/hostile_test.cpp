// The hostile-answer table against libcurl and libresolv (scenario dns + http).
#include "hostile_check.h"
#include "net/dnsbl.h"
#include "net/reverse_dns.h"

namespace {

TEST(Hostile, NothingBrokenComesOutCleanOrBad) {
  runHostileTable(
      {[](const std::string& path, bool secure) { return httpGet("web.test", path, secure); },
       [](const std::string& address) { return dnsblListed(address, "bl.test"); },
       [](const std::string& address) { return reverseDnsName(address); }});
}

}  // namespace
