// The page bridge: reads a page message key by key, starts one detached worker per accepted
// request, and has that worker hand exactly one reply to the window thread through `post`.
#include "app/bridge.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "json/json_read.h"
#include "scan/report.h"
#include "threads/thread_start.h"

namespace {

// The reply leaves through `post`; if post refuses it (the window is gone), it is freed here.
void postReply(const PostReply& post, std::string text) noexcept {
  try {
    auto reply = std::make_unique<std::string>(std::move(text));
    post(reply);
  } catch (...) {
    // Nothing is left to tell: the window thread could not be reached.
  }
}

// Worker bodies own copies of everything they touch; nothing is shared with the window thread.
void scanWorker(ScanRequest request, PostReply post,
                std::function<std::string(const ScanRequest&)> scan) noexcept {
  std::string reply;
  try {
    reply = scan(request);
  } catch (...) {
    reply = SCAN_FAILED_REPLY;
  }
  postReply(post, std::move(reply));
}

std::string ipFailureReply() {
  return buildIpResultMessage(std::nullopt);
}

void ipWorker(PostReply post, std::function<std::string()> getIp) noexcept {
  std::string reply;
  try {
    reply = getIp();
  } catch (...) {
    try {
      reply = ipFailureReply();
    } catch (...) {
      return;  // out of memory: no reply can be built
    }
  }
  postReply(post, std::move(reply));
}

ScanRequest readScanRequest(const std::string& message) {
  ScanRequest request;
  ScanOptions& options = request.options;
  options.geo = jsonGetBool(message, "geo", true);
  options.reputation = jsonGetBool(message, "reputation", true);
  options.tor = jsonGetBool(message, "tor", true);
  options.dns = jsonGetBool(message, "dns", true);
  options.local = jsonGetBool(message, "local", true);
  options.autoIp = jsonGetBool(message, "autoIp", true);
  options.mode = jsonGetString(message, "mode", std::string(DEEP_MODE));
  request.ip = jsonGetString(message, "ip", "");
  return request;
}

}  // namespace

void handleWebMessage(std::string message, const PostReply& post, const BridgeWork& work) {
  const std::string type = jsonGetString(message, "type", "");
  if (type == "scan") {
    auto body = [request = readScanRequest(message), post, scan = work.scan]() mutable noexcept {
      scanWorker(std::move(request), std::move(post), std::move(scan));
    };
    // No thread for this request: answer at once, so the page is not left waiting.
    if (!startDetachedThread(std::move(body))) postReply(post, SCAN_FAILED_REPLY);
  } else if (type == "getIp") {
    auto body = [post, getIp = work.getIp]() mutable noexcept {
      ipWorker(std::move(post), std::move(getIp));
    };
    if (!startDetachedThread(std::move(body))) postReply(post, ipFailureReply());
  }
}
