// The engine's own cost, next to which the network must dominate.
#include <benchmark/benchmark.h>

#include "json/json_read.h"
#include "net/network.h"
#include "scan/hosting.h"
#include "scan/report.h"
#include "scan/run_scan.h"

namespace {

// 1 MiB of answer-like text with no keyword and no key: every keyword is searched to the end.
std::string megabyteWithoutKeywords() {
  const std::string chunk = R"({"ip": "198.51.100.23", "city": "San Jose", "country": "US"}, )";
  std::string text;
  while (text.size() < (1u << 20)) text += chunk;
  text.resize(1u << 20);
  return text;
}

void BM_LooksLikeHosting1MiB(benchmark::State& state) {
  const std::string text = megabyteWithoutKeywords();
  for (auto _ : state) benchmark::DoNotOptimize(looksLikeHosting(text));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_LooksLikeHosting1MiB);

void BM_JsonGetString1MiB(benchmark::State& state) {
  std::string text = megabyteWithoutKeywords();
  text += R"("wanted": "value")";
  for (auto _ : state) benchmark::DoNotOptimize(jsonGetString(text, "wanted", ""));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_JsonGetString1MiB);

void BM_WriteScanResult(benchmark::State& state) {
  ScanReport r;
  r.ip = "198.51.100.23";
  r.mode = "deep";
  r.verdict = Verdict::watchlist;
  r.score = 40;
  for (int i = 0; i < 16; ++i)
    addSource(r, "StopForumSpam", "stopforumspam.com", "rep", Status::clean, "");
  r.logs = {"Starting C++ scan for 198.51.100.23", "ipinfo.io: clean", "proxycheck.io: clean",
            "Scan complete: Watchlist (40%)"};
  for (auto _ : state) benchmark::DoNotOptimize(writeScanResult(r));
}
BENCHMARK(BM_WriteScanResult);

void BM_RunScanInstantNetwork(benchmark::State& state) {
  Network net;
  const HttpResult answer{true, 200, R"({"status":"success","proxy":false,"hosting":false})", ""};
  net.httpGet = [&answer](const std::string&, const std::string&, bool, Deadline) {
    return answer;
  };
  net.dnsblListed = [](const std::string&, const std::string&, Deadline) {
    return LookupResult{Lookup::clear, ""};
  };
  net.reverseDnsName = [](const std::string&, Deadline) {
    return NameLookup{true, "host.example", ""};
  };
  net.systemProxyInUse = [] { return LookupResult{Lookup::clear, ""}; };
  const ScanOptions options;
  for (auto _ : state) benchmark::DoNotOptimize(runScan("198.51.100.23", options, net));
}
BENCHMARK(BM_RunScanInstantNetwork);

}  // namespace

BENCHMARK_MAIN();
