// httpGet against the fake internet's web.test pages (scenario http).
#include "net/http.h"

#include <gtest/gtest.h>

#include <string>

#include "net/posix/pinned_hosts.h"
#include "platform_cases.h"

namespace {

TEST(Http, StatusDecidesOkAndBodyIsKept) {
  checkStatusAndBody();
}

TEST(Http, RefusalKeepsItsBody) {
  checkRefusalBody();
}

TEST(Http, InformationalStatusIsNotOk) {
  EXPECT_FALSE(httpGet("web.test", "/status/199", true).ok);
}

// The request carries the user agent and nothing the client made up (no Accept, no encoding).
TEST(Http, RequestHoldsHostAndUserAgentOnly) {
  const HttpResult secure = httpGet("web.test", "/echo", true);
  EXPECT_EQ(secure.body,
            "port 443\r\nGET /echo HTTP/1.1\r\nHost: web.test\r\n"
            "User-Agent: VelmoraChecker/2.0\r\n\r\n");
  const HttpResult plain = httpGet("web.test", "/echo", false);
  EXPECT_EQ(plain.body.substr(0, 10), "port 80\r\nG");
}

// A host the scan's first step resolved is reached without a look-up of its own: pinned.test is
// in no hosts file and no zone, so only the pin finds the stand-in (which answers 404).
TEST(Http, APinnedHostIsNotLookedUpAgain) {
  EXPECT_EQ(httpGet("pinned.test", "/", false).failure, "host not found");
  pinHost("pinned.test", {"::1", "127.0.0.1"});
  EXPECT_EQ(httpGet("pinned.test", "/", false).status, 404u);
}

TEST(Http, FailuresBeforeAnAnswerHaveNoStatusAndSayWhy) {
  checkFailuresBeforeAnAnswer(false);
}

TEST(Http, RedirectsAreFollowedButNeverFromHttpsDownToHttp) {
  checkRedirects();
}

TEST(Http, BodyLargerThanTheCapEndsTheCall) {
  checkBodyCap();
}

// The next two take the full stall limit and the full call ceiling: label "slow".
TEST(HttpSlow, StallEndsTheCall) {
  const HttpResult before = httpGet("web.test", "/stall/before-headers", true);
  EXPECT_FALSE(before.ok);
  EXPECT_EQ(before.status, 0u);
  EXPECT_EQ(before.failure, "time-out");

  const HttpResult mid = httpGet("web.test", "/stall/mid-body", true);
  EXPECT_EQ(mid.status, 200u);
  EXPECT_EQ(mid.body, "abcdefghij");
  EXPECT_EQ(mid.failure, "time-out");
}

// A byte every 9 s never trips the stall limit; the ceiling ends the call after 60 s.
TEST(HttpSlow, CeilingEndsATrickle) {
  const HttpResult r = httpGet("web.test", "/trickle", true);
  EXPECT_EQ(r.failure, "time-out");
  EXPECT_EQ(r.status, 200u);
  EXPECT_FALSE(r.body.empty());
  EXPECT_LT(r.body.size(), 10u);
  EXPECT_EQ(r.body, std::string("0123456789").substr(0, r.body.size()));
}

}  // namespace
