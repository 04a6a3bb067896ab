// What the bridge's workers run by default: the scan and the discovery over the real network.
#include "app/bridge.h"
#include "net/public_ip.h"
#include "scan/run_scan.h"

BridgeWork defaultBridgeWork() {
  return BridgeWork{
      [](const ScanRequest& request) { return runScan(request.ip, request.options); },
      [] { return buildIpResultMessage(discoverPublicIp()); },
  };
}
