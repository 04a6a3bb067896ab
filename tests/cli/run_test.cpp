// A run of many addresses, below the program: the pacing under a scripted clock, the shared
// network (pacing, 429 back-off, one exit list per run), address lines, and the text a terminal
// is shown.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "catalogue/catalogue.h"
#include "cli/bulk/address_list.h"
#include "cli/pacing.h"
#include "cli/run_network.h"
#include "json/display_text.h"
#include "scan/time_limit.h"

namespace {

using std::chrono::minutes;
using std::chrono::seconds;

PaceTime ms(long long n) {
  return PaceTime(n);
}

TEST(Pacing, SlotsKeepEveryWindowWithinTheLimit) {
  // 3 requests a minute; each row asks at `now` and expects its slot (-1: not sent).
  const PaceLimit limit{3, minutes(1)};
  struct Step {
    long long now;
    long long slot;
  };
  const std::vector<Step> steps = {
      {0, 0},           {0, 0},         {10000, 10000},  // the first three at once
      {10000, 60000},                                    // the 4th a window after the 1st
      {20000, 60000},   {20000, 70000},                  // the 5th after the 2nd, 6th after 3rd
      {200000, 200000},                                  // a quiet spell: at once again
  };
  PaceState state;
  for (const Step& step : steps) {
    SCOPED_TRACE(step.now);
    const auto slot = takeSlot(state, limit, ms(step.now));
    ASSERT_TRUE(slot.has_value());
    EXPECT_EQ(slot->count(), step.slot);
  }
  EXPECT_EQ(state.sent.size(), 3u);  // never more kept than the limit's count
}

TEST(Pacing, TooFarAwayIsNotTakenAndBackOffHolds) {
  PaceState daily;
  const PaceLimit twoADay{2, std::chrono::hours(24)};
  EXPECT_TRUE(takeSlot(daily, twoADay, ms(0)));
  EXPECT_TRUE(takeSlot(daily, twoADay, ms(0)));
  EXPECT_FALSE(takeSlot(daily, twoADay, ms(1000)));  // a day away: not waited for
  EXPECT_EQ(daily.sent.size(), 2u);                  // and no slot taken by the refusal

  PaceState state;
  const PaceLimit none{};
  noteTooManyRequests(state, ms(5000), seconds(30));
  EXPECT_EQ(takeSlot(state, none, ms(6000))->count(), 35000);
  noteTooManyRequests(state, ms(40000), std::nullopt);  // no Retry-After: the default pause
  EXPECT_EQ(takeSlot(state, none, ms(41000)), ms(40000) + DEFAULT_BACK_OFF);
  noteTooManyRequests(state, ms(50000), std::chrono::hours(1));
  EXPECT_FALSE(takeSlot(state, none, ms(51000)));
}

// A scripted clock: sleeping moves time on; each request is logged with the time it left.
struct Scripted {
  PaceTime now{0};
  std::vector<std::string> log;
};

Network fakeNetwork(Scripted& s, std::vector<HttpResult> answers) {
  Network net;
  net.httpGet = [&s, answers, n = std::size_t{0}](const std::string& host, const std::string& path,
                                                  bool, Deadline) mutable {
    s.log.push_back(std::to_string(s.now.count()) + " " + host + path);
    return n < answers.size() ? answers[n++] : HttpResult{true, 200, "ok", ""};
  };
  return net;
}

PaceClock scriptedClock(Scripted& s) {
  return {[&s] { return s.now; }, [&s](PaceTime at) { s.now = std::max(s.now, at); }};
}

TEST(RunNetwork, PacesPerHostHonours429AndSharesTheExitList) {
  Scripted s;
  HttpResult tooMany{false, 429, "", ""};
  tooMany.retryAfterSeconds = 5;
  const auto limits = [](std::string_view host) {
    return host == "slow.test" ? PaceLimit{1, seconds(2)} : PaceLimit{};
  };
  const auto note = [&s](const std::string& host, std::optional<PaceTime> until) {
    s.log.push_back(until ? "hold " + host + " until " + std::to_string(until->count())
                          : "free " + host);
  };
  const Network net =
      runNetwork(fakeNetwork(s, {{true, 200, "a", ""}, tooMany}), scriptedClock(s), limits, note);
  const std::string tor(sourceByKey("torExitList").host);

  EXPECT_EQ(net.httpGet("slow.test", "/1", true, NO_DEADLINE).body, "a");
  EXPECT_EQ(net.httpGet("slow.test", "/2", true, NO_DEADLINE).status,
            429u);  // waited 2 s, then 429
  EXPECT_EQ(net.httpGet("fast.test", "/x", true, NO_DEADLINE).body,
            "ok");  // another host: not held
  EXPECT_EQ(net.httpGet("slow.test", "/3", true, NO_DEADLINE).body,
            "ok");  // after Retry-After only
  EXPECT_EQ(net.httpGet(tor, "/torbulkexitlist", true, NO_DEADLINE).body, "ok");
  EXPECT_EQ(net.httpGet(tor, "/torbulkexitlist", true, NO_DEADLINE).body,
            "ok");  // from the first fetch
  // The next slot comes after the scan's deadline: not sent, and the reason says which limit.
  const HttpResult tooLate =
      net.httpGet("slow.test", "/4", true, std::chrono::steady_clock::now() + seconds(1));
  EXPECT_EQ(tooLate.failure, TIME_LIMIT_REASON);
  EXPECT_EQ(s.log, (std::vector<std::string>{
                       "0 slow.test/1", "hold slow.test until 2000", "free slow.test",
                       "2000 slow.test/2", "2000 fast.test/x", "hold slow.test until 7000",
                       "free slow.test", "7000 slow.test/3", "7000 " + tor + "/torbulkexitlist"}));

  // A back-off beyond the longest wait: not sent, and the reason says so.
  HttpResult later{false, 429, "", ""};
  later.retryAfterSeconds = 3600;
  const Network once = runNetwork(fakeNetwork(s, {later}), scriptedClock(s));
  once.httpGet("ip-api.com", "/a", false, NO_DEADLINE);
  const HttpResult notSent = once.httpGet("ip-api.com", "/b", false, NO_DEADLINE);
  EXPECT_FALSE(notSent.ok);
  EXPECT_EQ(notSent.failure, NOT_ASKED_RATE_LIMIT);
  EXPECT_EQ(s.log.back(), std::to_string(s.now.count()) + " ip-api.com/a");
}

TEST(RunNetwork, CatalogueLimitsNameTheirWebServices) {
  EXPECT_EQ(catalogueLimit("ip-api.com").requests, 45);
  EXPECT_EQ(catalogueLimit("ip-api.com").window, minutes(1));
  EXPECT_EQ(catalogueLimit("proxycheck.io").requests, 100);
  EXPECT_EQ(catalogueLimit("api.ipify.org").requests, 0);
  EXPECT_EQ(catalogueLimit("elsewhere.test").requests, 0);
}

TEST(AddressList, LinesAndReasons) {
  std::istringstream in(
      "\xEF\xBB\xBF# relays\n198.51.100.23\r\n\n   \n  203.0.113.77  \n#198.51.100.9\n1.2.3\n"
      "256.1.1.1\n01.2.3.4\n2001:db8::1\n1.2.3.4.5\n1.2.3.4x\n0.0.0.0");
  const auto rows = readAddressLines(in, "list.txt");
  std::vector<std::string> seen;
  for (const AddressRow& r : rows) seen.push_back(r.origin + " [" + r.text + "] " + r.problem);
  const std::string dots = "not an IPv4 address (four numbers 0-255 with dots)";
  EXPECT_EQ(seen, (std::vector<std::string>{
                      "list.txt line 2 [198.51.100.23] ",
                      "list.txt line 5 [203.0.113.77] ",
                      "list.txt line 7 [1.2.3] " + dots,
                      "list.txt line 8 [256.1.1.1] not an IPv4 address (a part is over 255)",
                      "list.txt line 9 [01.2.3.4] not an IPv4 address (a part has a leading zero)",
                      "list.txt line 10 [2001:db8::1] IPv6 or host:port, not an IPv4 address",
                      "list.txt line 11 [1.2.3.4.5] " + dots,
                      "list.txt line 12 [1.2.3.4x] " + dots,
                      "list.txt line 13 [0.0.0.0] ",
                  }));
}

TEST(DisplayText, ControlsEscapedAndBrokenUtf8Replaced) {
  struct Case {
    std::string in;
    std::string shown;  // displayText
    std::string valid;  // validUtf8
  };
  const std::string fffd = "\xEF\xBF\xBD";
  const std::vector<Case> cases = {
      {"198.51.100.23", "198.51.100.23", "198.51.100.23"},
      {"\x1b]0;owned\x07", "\\x1b]0;owned\\x07", "\x1b]0;owned\x07"},
      {"a\r\nb\tc\x7f", "a\\x0d\\x0ab\\x09c\\x7f", "a\r\nb\tc\x7f"},
      {"\xC2\x9B"
       "31m",
       "\\u009b31m",
       "\xC2\x9B"
       "31m"},  // C1 CSI
      {"Z\xC3\xBCrich \xE2\x82\xAC \xF0\x9F\x9B\xA1", "Z\xC3\xBCrich \xE2\x82\xAC \xF0\x9F\x9B\xA1",
       "Z\xC3\xBCrich \xE2\x82\xAC \xF0\x9F\x9B\xA1"},
      {"\xFF"
       "a",
       fffd + "a", fffd + "a"},
      {"\xC0\xAF", fffd + fffd, fffd + fffd},                    // overlong
      {"\xED\xA0\x80", fffd + fffd + fffd, fffd + fffd + fffd},  // surrogate
      {"\xE2\x82", fffd, fffd},                                  // cut short: one replacement
      {"\xE2\x82"
       "A",
       fffd + "A", fffd + "A"},
      {"\xF4\x90\x80\x80", fffd + fffd + fffd + fffd, fffd + fffd + fffd + fffd},
      {std::string("a\0b", 3), "a\\x00b", std::string("a\0b", 3)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.in));
    EXPECT_EQ(displayText(c.in), c.shown);
    EXPECT_EQ(validUtf8(c.in), c.valid);
  }
}

// A service's words in a reason: one line, valid UTF-8, cut on a boundary to fit a row.
TEST(DisplayText, ShortWordsFitAReasonCell) {
  const std::string fffd = "\xEF\xBF\xBD";
  struct Case {
    std::string in;
    std::size_t max;
    std::string out;
  } cases[] = {
      {"  Rate limit\r\n\texceeded \x1b[0m ", 60, "Rate limit exceeded [0m"},
      {"\xC2\x85next\xC2\xA0line\xFF", 60, "next line" + fffd},
      {"one two three four", 12, "one two..."},
      {"abcdefghijklmnop", 10, "abcdefg..."},
      {"\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC", 8, "\xE2\x82\xAC..."},  // never half a euro
      {"", 60, ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(shortWords(c.in, c.max), c.out) << c.in;
    EXPECT_LE(shortWords(c.in, c.max).size(), c.max);
  }
}

}  // namespace
