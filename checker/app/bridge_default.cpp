// What the bridge's workers run by default: the scan and the discovery over the real network.
#include "app/bridge.h"
#include "scan/report.h"
#include "scan/system_scan.h"

BridgeWork defaultBridgeWork() {
  return BridgeWork{
      [](const ScanRequest& request) { return runScan(request.ip, request.options); },
      [] { return buildIpResultMessage(discoverPublicIp()); },
  };
}
