// Fuzz target for the JSON readers, the escaper and the hosting classifier. Built with
// libFuzzer under clang; otherwise the same body replays the corpus as an ordinary test.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <stdexcept>
#include <string>

#include "json/display_text.h"
#include "json/json_read.h"
#include "json/json_write.h"
#include "net/tor_exit.h"
#include "scan/hosting.h"
#include "scan/web_sources.h"

namespace {

// A reason made of a service's words is one short line of valid UTF-8, whatever it answered.
void checkReason(const LookupResult& r) {
  if (r.reason.size() > 60 || validUtf8(r.reason) != r.reason) std::abort();
  for (const char c : r.reason) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) std::abort();
  }
}

void askEverySource(const std::string& body, std::uint32_t status) {
  Network net;
  net.httpGet = [&](const std::string&, const std::string&, bool, Deadline) {
    return HttpResult{status >= 200 && status <= 299, status, body, ""};
  };
  for (auto source : {geoLookup, ipFlags, ipDetails, dbIp, freeIpApi, stopForumSpam, isTorExit}) {
    checkReason(source("198.51.100.23", net));
  }
  checkReason(proxyRisk("198.51.100.23", net).result);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  for (const char* key : {"ip", "risk", "appears", "type", "proxy", ""}) {
    const std::string s = jsonGetString(text, key, "\x01");
    if (s.size() > text.size() && s != "\x01") std::abort();
    (void)jsonGetBool(text, key, true);
    try {
      (void)jsonGetInt(text, key);
    } catch (const std::invalid_argument&) {
    } catch (const std::out_of_range&) {
    }
  }
  const std::string escaped = jsonEscape(text);
  for (const char c : escaped) {
    if (static_cast<unsigned char>(c) < 0x20) std::abort();  // no raw control byte survives
  }
  // Whatever was escaped reads back as one complete string value.
  if (jsonGetString("{\"v\":\"" + escaped + "\"}", "v", "\x01") == "\x01") std::abort();
  (void)looksLikeHosting(text);
  (void)hasJsonMarker(text, "\"proxy\"", "\"yes\"");
  (void)jsonStringValue(text, "error");
  askEverySource(text, 200);
  askEverySource(text, 429);
  return 0;
}
