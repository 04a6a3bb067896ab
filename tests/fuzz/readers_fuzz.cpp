// Fuzz target for the JSON readers, the escaper and the hosting classifier. Built with
// libFuzzer under clang; otherwise the same body replays the corpus as an ordinary test.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <stdexcept>
#include <string>

#include "json/json_read.h"
#include "json/json_write.h"
#include "scan/hosting.h"

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
  return 0;
}
