// Benchmark helper (not a test): times whole scans over the real network primitives, in the
// process, so the figure is the scan's and not the program's start-up. Prints one line per
// scan: milliseconds and lookups made (from the fake internet's request log).
//   scan_timing ADDRESS RUNS      (inside tests/fake-internet/run.sh)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "scan/system_scan.h"

namespace {

long linesLogged() {
  const char* dir = std::getenv("FAKE_NET_DIR");
  std::ifstream log(std::string(dir ? dir : ".") + "/requests.log");
  long lines = 0;
  for (std::string line; std::getline(log, line);) ++lines;
  return lines;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: scan_timing ADDRESS RUNS\n");
    return 2;
  }
  const std::string address = argv[1];
  const int runs = std::max(1, std::stoi(argv[2]));
  runScan(address, ScanOptions{});  // first use loads TLS and settings machinery
  for (int i = 0; i < runs; ++i) {
    const long before = linesLogged();
    const auto start = std::chrono::steady_clock::now();
    runScan(address, ScanOptions{});
    const double ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    std::printf("%.2f %ld\n", ms, linesLogged() - before);
  }
  return 0;
}
