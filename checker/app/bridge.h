#pragma once
// The page bridge, free of any window or web view: a page message (UTF-8 JSON text) goes in,
// at most one worker starts, and that worker hands exactly one reply to `post`.
#include <functional>
#include <memory>
#include <string>

#include "scan/report.h"
#include "scan/scan_options.h"

struct ScanRequest {
  std::string ip;
  ScanOptions options;
};

// What a worker runs. The defaults call runScan and discoverPublicIp over the real network;
// a platform may wrap them (Windows brackets them with WSAStartup / WSACleanup).
struct BridgeWork {
  std::function<std::string(const ScanRequest&)> scan;
  std::function<std::string()> getIp;
};
BridgeWork defaultBridgeWork();

// Hands a finished reply to the window thread. On success it takes the text (reply.release());
// when it cannot post, it leaves the text in `reply` and returns false, and the worker frees it.
using PostReply = std::function<bool(std::unique_ptr<std::string>& reply)>;

// Runs on the window thread. "scan" and "getIp" start one detached worker; anything else is
// ignored without a reply.
void handleWebMessage(std::string message, const PostReply& post, const BridgeWork& work);
