// What runs of velmora-scan share: the keys file's lines, the pace file's text, and a day of
// runs from cron on a scripted clock, each run a new network over the same pace file.
#include <gtest/gtest.h>

#include <filesystem>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include "catalogue/catalogue.h"
#include "cli/pace_book.h"
#include "cli/run_network.h"
#include "cli/service_keys.h"
#include "scan/run_scan.h"

namespace {

TEST(ServiceKeys, KeysFileLinesAndTheEnvironment) {
  struct Case {
    std::string text;
    std::string proxycheck, ipinfo, error;  // error: its start
  };
  const std::vector<Case> cases = {
      {"# mine\n\nVELMORA_PROXYCHECK_KEY=pk-1\r\n  VELMORA_IPINFO_TOKEN = t_2  \n", "pk-1", "t_2",
       ""},
      {"VELMORA_PROXYCHECK_KEY=a\nVELMORA_PROXYCHECK_KEY=b\n", "b", "", ""},
      {"pk-secret-1\n", "", "", "keys line 1: expected VELMORA_PROXYCHECK_KEY=..."},
      {"PROXYCHECK=pk-secret-1\n", "", "", "keys line 1: expected"},
      {"VELMORA_IPINFO_TOKEN=\n", "", "", "keys line 1: the value is not a key"},
      {"\nVELMORA_IPINFO_TOKEN=pk-secret-1&x=1\n", "", "", "keys line 2: the value is not a key"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const KeysLoad load = parseKeysText(c.text, "keys");
    EXPECT_EQ(load.error.substr(0, c.error.size()), c.error);
    EXPECT_EQ(load.error.find("secret"), std::string::npos);  // a key is never echoed
    if (!c.error.empty()) continue;
    EXPECT_EQ(load.keys.proxycheck, c.proxycheck);
    EXPECT_EQ(load.keys.ipinfoToken, c.ipinfo);
  }
  const auto environment = [](const char* name) -> std::optional<std::string> {
    if (std::string(name) == IPINFO_TOKEN_NAME) return "from-env";
    return std::nullopt;
  };
  const KeysLoad noFile = loadServiceKeys("/nonexistent/velmora/keys", environment);
  EXPECT_EQ(noFile.error, "");
  EXPECT_EQ(noFile.keys.ipinfoToken, "from-env");
  EXPECT_EQ(keyOfSource(noFile.keys, "geoLookup"), "from-env");
}

TEST(ServiceKeys, NoAnswerBringsAKeyBack) {
  Network inner;
  inner.httpGet = [](const std::string&, const std::string& path, bool, Deadline) {
    HttpResult echoed{true, 200, "{\"message\": \"bad key " + path + path + "\"}", ""};
    echoed.failure = "refused " + path;
    return echoed;
  };
  const Network net = keysKeptOutOfAnswers(inner, {"pk-1", "tok-2"});
  const HttpResult r = net.httpGet("example.test", "pk-1/tok-2", true, NO_DEADLINE);
  EXPECT_EQ(r.body, "{\"message\": \"bad key [key]/[key][key]/[key]\"}");
  EXPECT_EQ(r.failure, "refused [key]/[key]");
}

TEST(PaceBook, TextKeepsOnlyPaceAndRefusesDamage) {
  PaceMap services;
  services["proxycheck.io"].sent = {PaceTime(5), PaceTime(5), PaceTime(5), PaceTime(9)};
  services["ip-api.com"].blockedUntil = PaceTime(70);
  services["ipapi.co"];  // nothing to keep: not written
  const std::string text = writePaceText(services);
  EXPECT_EQ(text, "velmora-pace 1\nip-api.com 70\nproxycheck.io 0 5*3 9\n");
  const auto back = readPaceText(text);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->at("proxycheck.io").sent, services["proxycheck.io"].sent);
  EXPECT_EQ(back->at("ip-api.com").blockedUntil, PaceTime(70));

  for (const std::string damaged :
       {"", "velmora-pace 2\n", "velmora-pace 1\nproxycheck.io\n",
        "velmora-pace 1\nproxycheck.io soon\n", "velmora-pace 1\nproxycheck.io 0 9 5\n",
        "velmora-pace 1\nproxycheck.io 0 5*0\n", "velmora-pace 1\nproxycheck.io 0 5*999999999\n",
        "velmora-pace 1\nProxycheck.io 0\n", "velmora-pace 1\na 0\na 0\n",
        "velmora-pace 1\na -1\n"}) {
    EXPECT_FALSE(readPaceText(damaged)) << damaged;
  }
}

TEST(RunNetwork, KeysRaiseTheirServicesLimits) {
  const HostLimits keyed = catalogueLimits({"pk", "tok"});
  EXPECT_EQ(keyed("proxycheck.io").requests, 1000);
  EXPECT_EQ(keyed(sourceByKey("geoLookup").keyedHost).requests, 0);  // Lite: no limit
  EXPECT_EQ(keyed("ipinfo.io").requests, catalogueLimit("ipinfo.io").requests);
  EXPECT_EQ(catalogueLimits({})("proxycheck.io").requests, 100);
}

// Requests per host over one simulated day of scans every five minutes; each run a new network,
// as each cron run is a new process, sharing its pace through the file when `shared`.
std::map<std::string, int> cronDay(const ServiceKeys& keys, bool shared,
                                   const std::filesystem::path& folder) {
  std::filesystem::remove_all(folder);
  std::map<std::string, int> asked;
  PaceTime now{0};
  Network fake;
  fake.httpGet = [&asked](const std::string& host, const std::string&, bool, Deadline) {
    ++asked[host];
    return HttpResult{true, 200, "{}", ""};
  };
  const PaceClock clock{[&now] { return now; }, [&now](PaceTime at) { now = std::max(now, at); }};
  ScanOptions options;
  options.tor = options.dns = options.local = false;
  options.keys = keys;
  for (int run = 0; run < 24 * 12; ++run) {
    now = std::chrono::minutes(5 * run);
    const PaceBook book = shared ? filePaceBook(folder.string(), {}) : memoryPaceBook();
    runScanReport("198.51.100.23", options,
                  runNetwork(fake, clock, catalogueLimits(keys), {}, book));
  }
  return asked;
}

TEST(SharedPace, CronEveryFiveMinutesKeepsTheDailyQuota) {
  const auto folder = std::filesystem::temp_directory_path() / "velmora-cron-day-test";
  const ServiceKeys keys{"pk", "tok"};
  const auto before = cronDay({}, false, folder);
  const auto after = cronDay({}, true, folder);
  const auto keyed = cronDay(keys, true, folder);
  std::filesystem::remove_all(folder);
  std::map<std::string, int> hosts = before;
  hosts.insert(keyed.begin(), keyed.end());
  for (const auto& [host, count] : hosts) {
    std::cout << "requests a day to " << host << ": " << (before.count(host) ? before.at(host) : 0)
              << " runs apart, " << (after.count(host) ? after.at(host) : 0)
              << " sharing the pace, " << (keyed.count(host) ? keyed.at(host) : 0)
              << " with keys\n";
  }
  EXPECT_EQ(before.at("proxycheck.io"), 288);  // each run on its own: the quota broken
  EXPECT_EQ(after.at("proxycheck.io"), 100);
  EXPECT_EQ(after.at("ipinfo.io"), 288);
  EXPECT_EQ(keyed.at("proxycheck.io"), 288);
  EXPECT_EQ(keyed.at(std::string(sourceByKey("geoLookup").keyedHost)), 288);
  EXPECT_EQ(keyed.count("ipinfo.io"), 0u);
}

}  // namespace
