// The hostile-answer table against WinHTTP and the DNS client under Wine (scenario
// windows.scn). The phase limit is shrunk to 3 s so that silences cost seconds; the trickled
// answer's bytes still come faster than that.
#include "hostile_check.h"
#include "net/dnsbl.h"
#include "net/reverse_dns.h"
#include "net/windows/http_limits.h"

namespace {

TEST(Hostile, NothingBrokenComesOutCleanOrBad) {
  const HttpLimits limits{3000, 30000, MAX_BODY_BYTES};
  // Over plain HTTP: these rows test how answers are framed, which WinHTTP reads the same way on
  // both schemes, while Wine's TLS handshake with the stand-in fails now and then when the suite
  // runs tests side by side (every HTTPS row at once). HTTPS is tested in net.windows.fake.
  runHostileTable({[&](const std::string& path, bool /*secure*/) {
                     return httpGetWithin("web.test", path, false, limits);
                   },
                   [](const std::string& address) { return dnsblListed(address, "bl.test"); },
                   [](const std::string& address) { return reverseDnsName(address); },
                   // Wine's DNS client reads answers up to 4 KiB and its records carry no class;
                   // its WinHTTP ends a chunked body that breaks off without an error.
                   {"answers over 4 KiB", "record class unseen", "chunked cut unseen"},
                   // ... and it waits on a name server that takes the TCP connection and is
                   // silent as long as the server holds it.
                   {"silent TCP waited on"}});
}

}  // namespace
