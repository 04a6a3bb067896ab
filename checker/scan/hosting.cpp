// Keyword and marker tests over raw answer bodies. Answers are never parsed as documents.
#include "scan/hosting.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <vector>

namespace {

bool isJsonSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

std::size_t skipSpace(const std::string& s, std::size_t i) {
  while (i < s.size() && isJsonSpace(s[i])) ++i;
  return i;
}

// The text between the quotes of a JSON key, and whether the key's value is the literal true.
struct KeySpan {
  std::size_t begin;
  std::size_t end;
  bool valueIsTrue;
};

// Every quoted string that is followed by a colon, in text order.
std::vector<KeySpan> findKeySpans(const std::string& s) {
  std::vector<KeySpan> spans;
  std::size_t pos = 0;
  while (true) {
    const std::size_t open = s.find('"', pos);
    if (open == std::string::npos) break;
    std::size_t close = open + 1;
    while (close < s.size() && s[close] != '"') close += (s[close] == '\\') ? 2 : 1;
    if (close >= s.size()) break;  // unterminated: the rest is one string, not a key
    const std::size_t colon = skipSpace(s, close + 1);
    if (colon < s.size() && s[colon] == ':') {
      const std::size_t value = skipSpace(s, colon + 1);
      spans.push_back({open + 1, close, s.compare(value, 4, "true") == 0});
    }
    pos = close + 1;
  }
  return spans;
}

// A keyword inside a key counts only when the key's value is true: the FreeIPAPI answer always
// has "isProxy", mostly false, and must not make every address a hosting address.
bool occurrenceCounts(const std::vector<KeySpan>& spans, std::size_t at) {
  const auto after = std::upper_bound(spans.begin(), spans.end(), at,
                                      [](std::size_t p, const KeySpan& k) { return p < k.begin; });
  if (after == spans.begin()) return true;
  const KeySpan& span = *(after - 1);
  if (at >= span.end) return true;
  return span.valueIsTrue;
}

}  // namespace

bool looksLikeHosting(const std::string& text) {
  static constexpr std::array<std::string_view, 10> KEYWORDS = {
      "vpn",   "proxy",  "hosting", "datacenter", "data center",
      "cloud", "server", "m247",    "ovh",        "hetzner"};

  // "C" locale lower-casing: only A-Z change. Branch-free so the loop vectorises.
  std::string lower = text;
  for (char& c : lower) {
    const auto u = static_cast<unsigned char>(c);
    c = static_cast<char>(u | ((static_cast<unsigned char>(u - 'A') < 26u) ? 0x20 : 0));
  }

  std::vector<KeySpan> spans;
  bool spansReady = false;
  for (const std::string_view keyword : KEYWORDS) {
    for (std::size_t at = lower.find(keyword); at != std::string::npos;
         at = lower.find(keyword, at + 1)) {
      if (!spansReady) {
        spans = findKeySpans(text);
        spansReady = true;
      }
      if (occurrenceCounts(spans, at)) return true;
    }
  }
  return false;
}

bool hasJsonMarker(const std::string& body, const std::string& quotedKey,
                   const std::string& value) {
  for (std::size_t at = body.find(quotedKey); at != std::string::npos;
       at = body.find(quotedKey, at + 1)) {
    std::size_t i = skipSpace(body, at + quotedKey.size());
    if (i >= body.size() || body[i] != ':') continue;
    i = skipSpace(body, i + 1);
    if (body.compare(i, value.size(), value) == 0) return true;
  }
  return false;
}
