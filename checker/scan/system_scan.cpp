#include "scan/system_scan.h"

#include "net/public_ip.h"
#include "scan/run_scan.h"

std::string runScan(const std::string& address, const ScanOptions& options) {
  return runScan(address, options, systemNetwork());
}

std::optional<std::string> discoverPublicIp() {
  return discoverPublicIp(systemNetwork());
}
