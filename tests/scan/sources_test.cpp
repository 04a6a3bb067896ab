// Each web source over real answer shapes: the one request it makes and the flag it derives.
#include <gtest/gtest.h>

#include <functional>

#include "fake_network.h"
#include "scan/hosting.h"
#include "scan/web_sources.h"
#include "service_bodies.h"

namespace {

using SourceFn = std::function<RiskResult(const std::string&, const Network&)>;

SourceFn plain(LookupResult (*fn)(const std::string&, const Network&)) {
  return [fn](const std::string& a, const Network& n) { return RiskResult{fn(a, n), 0}; };
}

struct SourceCase {
  const char* what;
  SourceFn source;
  const char* host;
  HttpResult answer;
  Lookup outcome;
  std::int32_t risk;
  const char* reason;
};

TEST(WebSources, ReadRealAnswers) {
  const SourceFn geo = plain(geoLookup), flags = plain(ipFlags), details = plain(ipDetails),
                 db = plain(dbIp), free = plain(freeIpApi), sfs = plain(stopForumSpam);
  using namespace bodies;
  const SourceCase cases[] = {
      {"home line", geo, "ipinfo.io", okBody(IPINFO_HOME), Lookup::clear, 0, ""},
      {"hosting org", geo, "ipinfo.io", okBody(IPINFO_OVH), Lookup::flagged, 0, ""},
      {"reserved address", geo, "ipinfo.io", okBody(IPINFO_BOGON), Lookup::clear, 0, ""},
      {"rate limited", geo, "ipinfo.io", statusBody(429, IPINFO_RATE_LIMIT), Lookup::failed, 0,
       "HTTP 429: Rate limit exceeded"},
      {"rate limit at 200", geo, "ipinfo.io", okBody(IPINFO_RATE_LIMIT), Lookup::failed, 0,
       "Rate limit exceeded"},
      {"web site instead of JSON", geo, "ipinfo.io", okBody(IPINFO_SITE), Lookup::failed, 0,
       "answer not understood"},
      {"login page", geo, "ipinfo.io", okBody(LOGIN_PAGE), Lookup::failed, 0,
       "answer not understood"},
      {"empty 200", geo, "ipinfo.io", okBody(""), Lookup::failed, 0, "answer not understood"},
      {"offline", geo, "ipinfo.io", noAnswer("time-out"), Lookup::failed, 0, "time-out"},
      {"error page with keyword", geo, "ipinfo.io", statusBody(500, "proxy hosting"),
       Lookup::failed, 0, "HTTP 500"},

      {"pretty VPN answer", proxyRisk, "proxycheck.io", okBody(PROXYCHECK_VPN), Lookup::flagged, 66,
       ""},
      {"risk 44, no mark", proxyRisk, "proxycheck.io", okBody(proxycheck("no", "44")),
       Lookup::clear, 44, ""},
      {"risk 45", proxyRisk, "proxycheck.io", okBody(proxycheck("no", "45")), Lookup::flagged, 45,
       ""},
      {"mark with risk 0", proxyRisk, "proxycheck.io", okBody(proxycheck("yes", "0")),
       Lookup::flagged, 0, ""},
      {"compact mark", proxyRisk, "proxycheck.io", okBody(R"({"status":"ok","proxy":"yes"})"),
       Lookup::flagged, 0, ""},
      {"no status", proxyRisk, "proxycheck.io", okBody(R"({"proxy":"no","risk":1})"),
       Lookup::failed, 0, "answer not understood"},
      {"warning keeps its data", proxyRisk, "proxycheck.io", okBody(PROXYCHECK_WARNING_VPN),
       Lookup::flagged, 66, ""},
      {"denied behind a proxy", proxyRisk, "proxycheck.io", okBody(PROXYCHECK_DENIED_PROXY),
       Lookup::failed, 0, "Your access to the API has been blocked due to using a..."},
      {"denied for the day", proxyRisk, "proxycheck.io", statusBody(429, PROXYCHECK_DENIED_QUOTA),
       Lookup::failed, 0, "HTTP 429: 100 queries exhausted, if you sign up for a..."},
      {"control bytes in words", proxyRisk, "proxycheck.io",
       okBody("{\"status\":\"denied\",\"message\":\"a\x1b[2J\\nb\xff\"}"), Lookup::failed, 0,
       "a [2Jnb\xEF\xBF\xBD"},
      {"risk as string", proxyRisk, "proxycheck.io", okBody(proxycheck("no", "\"66\"")),
       Lookup::clear, 0, ""},
      {"risk lone minus", proxyRisk, "proxycheck.io", okBody(proxycheck("no", "-")), Lookup::clear,
       0, ""},
      {"risk out of range", proxyRisk, "proxycheck.io", okBody(proxycheck("no", "99999999999")),
       Lookup::clear, 0, ""},
      {"mark with capital", proxyRisk, "proxycheck.io", okBody(R"({"status":"ok","proxy":"Yes"})"),
       Lookup::clear, 0, ""},
      {"error answer", proxyRisk, "proxycheck.io", okBody(PROXYCHECK_ERROR), Lookup::failed, 0,
       "No valid IP Addresses supplied."},
      {"denied", proxyRisk, "proxycheck.io", statusBody(429, proxycheck("yes", "90")),
       Lookup::failed, 0, "HTTP 429"},

      {"home", flags, "ip-api.com", okBody(IPAPI_COM_HOME), Lookup::clear, 0, ""},
      {"hosting", flags, "ip-api.com", okBody(IPAPI_COM_HOSTING), Lookup::flagged, 0, ""},
      {"vpn", flags, "ip-api.com", okBody(IPAPI_COM_VPN), Lookup::flagged, 0, ""},
      {"reserved range", flags, "ip-api.com", okBody(IPAPI_COM_FAIL), Lookup::failed, 0,
       "reserved range"},
      {"fail without words", flags, "ip-api.com", okBody(R"({"status":"fail"})"), Lookup::failed, 0,
       "refused by the service"},
      {"hotel login page", flags, "ip-api.com", okBody(LOGIN_PAGE), Lookup::failed, 0,
       "answer not understood"},
      {"blank after colon", flags, "ip-api.com", okBody(R"({"status":"success","proxy": true})"),
       Lookup::flagged, 0, ""},
      {"capital key", flags, "ip-api.com", okBody(R"({"status":"success","Proxy":true})"),
       Lookup::clear, 0, ""},

      {"home", details, "ipapi.co", okBody(IPAPI_CO_HOME), Lookup::clear, 0, ""},
      {"hosting org", details, "ipapi.co", okBody(IPAPI_CO_OVH), Lookup::flagged, 0, ""},
      {"rate limited", details, "ipapi.co", statusBody(429, IPAPI_CO_RATE_LIMIT), Lookup::failed, 0,
       "HTTP 429: RateLimited"},
      {"rate limited at 200", details, "ipapi.co", okBody(IPAPI_CO_RATE_LIMIT), Lookup::failed, 0,
       "RateLimited"},
      {"reserved address", details, "ipapi.co", okBody(IPAPI_CO_RESERVED), Lookup::failed, 0,
       "Reserved IP Address"},

      {"geography only", db, "api.db-ip.com", okBody(DBIP_HOME), Lookup::clear, 0, ""},
      {"reserved is ZZ", db, "api.db-ip.com", okBody(DBIP_RESERVED), Lookup::clear, 0, ""},
      {"over the daily limit", db, "api.db-ip.com", okBody(DBIP_OVER_LIMIT), Lookup::failed, 0,
       "maximum number of queries per day exceeded"},

      {"isProxy false", free, "freeipapi.com", okBody(FREEIPAPI_HOME), Lookup::clear, 0, ""},
      {"isProxy true", free, "freeipapi.com", okBody(FREEIPAPI_PROXY), Lookup::flagged, 0, ""},
      {"pretty isProxy true", free, "freeipapi.com", okBody(FREEIPAPI_PROXY_PRETTY_TRUE),
       Lookup::flagged, 0, ""},
      {"too many requests", free, "freeipapi.com", okBody(FREEIPAPI_LIMIT), Lookup::failed, 0,
       "Too many requests, slow down"},

      {"never seen", sfs, "api.stopforumspam.org", okBody(SFS_HOME), Lookup::clear, 0, ""},
      {"seen", sfs, "api.stopforumspam.org", okBody(SFS_SPAMMER), Lookup::flagged, 0, ""},
      {"blacklisted", sfs, "api.stopforumspam.org", okBody(SFS_BLACKLISTED), Lookup::flagged, 0,
       ""},
      {"appears true", sfs, "api.stopforumspam.org", okBody(R"({"success":1,"appears":true})"),
       Lookup::clear, 0, ""},
      {"unavailable", sfs, "api.stopforumspam.org", okBody(SFS_UNAVAILABLE), Lookup::failed, 0,
       "unavailable"},
      {"empty 200", sfs, "api.stopforumspam.org", okBody(""), Lookup::failed, 0,
       "answer not understood"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.host) + ": " + c.what);
    FakeNetwork fake;
    fake.http[c.host] = c.answer;
    const RiskResult r = c.source("198.51.100.23", fake.network());
    EXPECT_EQ(r.result.outcome, c.outcome);
    EXPECT_EQ(r.risk, c.risk);
    EXPECT_EQ(r.result.reason, c.reason);
    EXPECT_EQ(fake.calls.size(), 1u);
  }
}

TEST(WebSources, SendTheirOneRequestWithTheAddressUnchanged) {
  FakeNetwork fake;
  const Network net = fake.network();
  const std::string odd = "1.2.3.4 x\"";
  geoLookup(odd, net);
  proxyRisk(odd, net);
  ipFlags(odd, net);
  ipDetails(odd, net);
  dbIp(odd, net);
  freeIpApi(odd, net);
  stopForumSpam(odd, net);
  const std::vector<std::string> expected = {
      "https://ipinfo.io/1.2.3.4 x\"",
      "https://proxycheck.io/v2/1.2.3.4 x\"?vpn=1&asn=1&risk=1",
      "http://ip-api.com/json/1.2.3.4 x\"?fields=status,proxy,hosting",
      "https://ipapi.co/1.2.3.4 x\"/json/",
      "https://api.db-ip.com/v2/free/1.2.3.4 x\"",
      "https://freeipapi.com/api/json/1.2.3.4 x\"",
      "https://api.stopforumspam.org/api?ip=1.2.3.4 x\"&json",
  };
  EXPECT_EQ(fake.calls, expected);
}

TEST(WebSources, KeysGoOnlyIntoTheirOwnServicesRequests) {
  FakeNetwork fake;
  const ServiceKeys keys{"pk-1", "tok-2"};
  fake.http["api.ipinfo.io"] = okBody(R"({"ip": "203.0.113.9", "as_name": "M247 Europe SRL"})");
  EXPECT_EQ(keyedGeoLookup("203.0.113.9", fake.network(), keys).outcome, Lookup::flagged);
  keyedProxyRisk("203.0.113.9", fake.network(), keys);
  ipFlags("203.0.113.9", fake.network());
  EXPECT_EQ(fake.calls, (std::vector<std::string>{
                            "https://api.ipinfo.io/lite/203.0.113.9?token=tok-2",
                            "https://proxycheck.io/v2/203.0.113.9?vpn=1&asn=1&risk=1&key=pk-1",
                            "http://ip-api.com/json/203.0.113.9?fields=status,proxy,hosting"}));
}

struct TextCase {
  const char* text;
  bool hosting;
};

TEST(LooksLikeHosting, FindsKeywordsExceptInKeysWhoseValueIsNotTrue) {
  const TextCase cases[] = {
      {"", false},
      {"Residential broadband", false},
      {"OVH SAS", true},
      {"Hetzner Online GmbH", true},
      {"AMAZON CLOUD", true},
      {"Data Center Frankfurt", true},
      {"data-center frankfurt", false},
      {"DataCenter", true},
      {"observer", true},  // no word boundaries
      {"M247 Europe SRL", true},
      {R"({"note":"vpn"})", true},
      {R"({"isProxy":false})", false},
      {R"({"isProxy": false})", false},
      {"{\n  \"isProxy\" :\n false\n}", false},
      {R"({"isProxy":true})", true},
      {R"({"isProxy": true})", true},
      {R"({"isProxy":"true"})", false},  // a string is not the literal
      {R"({"isProxy":null})", false},
      {R"({"hosting":false,"org":"Example"})", false},
      {R"({"hosting":false,"org":"OVH"})", true},
      {R"({"a":"proxy"})", true},           // a value, not a key
      {R"({"a":"x\"proxy"})", true},        // escaped quote inside a value
      {R"({"list":["vpn","tor"]})", true},  // array elements are values
      {"<html><a href=\"vpn\">VPN</a></html>", true},
      {R"({"unterminated proxy)", true},
      {R"({"is\"Proxy":false,"\vpn":false})", false},  // escapes stay inside the key
      {R"({"":"","isProxy"  :  true  })", true},
      {"\"proxy\"\\", true},  // a string, never a key: nothing follows
      {"caf\xC3\xA9 \xC3\x89TAT", false},
  };
  for (const auto& c : cases) EXPECT_EQ(looksLikeHosting(c.text), c.hosting) << c.text;
}

}  // namespace
