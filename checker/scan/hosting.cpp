// Keyword and marker tests over raw answer bodies. Answers are never parsed as documents.
#include "scan/hosting.h"

#include <array>
#include <string_view>

#include "json/json_read.h"

namespace {

std::size_t skipSpace(const std::string& s, std::size_t i) {
  while (i < s.size() && isJsonSpace(s[i])) ++i;
  return i;
}

constexpr std::array<std::string_view, 10> KEYWORDS = {
    "vpn",   "proxy",  "hosting", "datacenter", "data center",
    "cloud", "server", "m247",    "ovh",        "hetzner"};

// "C" locale lower-casing: only A-Z change.
char lowerAscii(char c) {
  const auto u = static_cast<unsigned char>(c);
  return static_cast<char>(u | ((static_cast<unsigned char>(u - 'A') < 26u) ? 0x20 : 0));
}

bool keywordAt(const std::string& s, std::size_t at) {
  switch (lowerAscii(s[at])) {  // the keywords' first letters: most bytes stop here
    case 'c':
    case 'd':
    case 'h':
    case 'm':
    case 'o':
    case 'p':
    case 's':
    case 'v':
      break;
    default:
      return false;
  }
  for (const std::string_view keyword : KEYWORDS) {
    if (s.size() - at < keyword.size()) continue;
    std::size_t i = 0;
    while (i < keyword.size() && lowerAscii(s[at + i]) == keyword[i]) ++i;
    if (i == keyword.size()) return true;
  }
  return false;
}

// Whether the string that closes at `close` is a JSON key (a colon follows), and if so whether
// its value is the literal true.
struct KeyRead {
  bool isKey;
  bool valueIsTrue;
};

KeyRead readKey(const std::string& s, std::size_t close) {
  const std::size_t colon = skipSpace(s, close + 1);
  if (colon >= s.size() || s[colon] != ':') return {false, false};
  const std::size_t value = skipSpace(s, colon + 1);
  return {true, s.compare(value, 4, "true") == 0};
}

}  // namespace

// One pass, in constant extra memory whatever the body: a keyword outside a string, or inside a
// string that is not a key, counts at once; one inside a key counts when the key's value is
// true, which is known once the key closes. A string left open runs to the end and is no key.
bool looksLikeHosting(const std::string& text) {
  bool inString = false;
  bool hitInString = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (!inString) {
      if (c == '"') {
        inString = true;
        hitInString = false;
      } else if (keywordAt(text, i)) {
        return true;
      }
      continue;
    }
    if (c == '"') {
      inString = false;
      if (hitInString) {
        const KeyRead key = readKey(text, i);
        if (!key.isKey || key.valueIsTrue) return true;
      }
      continue;
    }
    if (!hitInString && keywordAt(text, i)) hitInString = true;
    if (c == '\\' && i + 1 < text.size()) {
      ++i;  // the escaped byte belongs to the string, and may start a keyword
      if (!hitInString && keywordAt(text, i)) hitInString = true;
    }
  }
  return inString && hitInString;
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
