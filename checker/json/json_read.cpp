// Key-at-a-time JSON readers. They search raw text and never validate it; the rules below are
// what the page and the services rely on, so they stay exactly this loose.
#include "json/json_read.h"

#include <cstdint>
#include <stdexcept>

namespace {

// Offset just after the first ':' that follows the first occurrence of "key", if any.
std::optional<std::size_t> valueStart(const std::string& json, const std::string& key) {
  const std::string needle = "\"" + key + "\"";
  const std::size_t at = json.find(needle);
  if (at == std::string::npos) return std::nullopt;
  const std::size_t colon = json.find(':', at);
  if (colon == std::string::npos) return std::nullopt;
  return colon + 1;
}

bool isDigit(char c) {
  return c >= '0' && c <= '9';
}
bool isRunByte(char c) {
  return isDigit(c) || c == '-';
}

// std::stoi on a 32-bit int: an optional '-', then digits up to the first byte that cannot
// continue the number ("12-3" gives 12). Same error kinds, with messages that say what failed.
std::int32_t convertLikeStoi(const std::string& run) {
  std::size_t i = 0;
  const bool negative = !run.empty() && run[0] == '-';
  if (negative) ++i;
  if (i >= run.size() || !isDigit(run[i])) throw std::invalid_argument("invalid stoi argument");
  std::int64_t magnitude = 0;
  bool tooLarge = false;
  for (; i < run.size() && isDigit(run[i]); ++i) {
    magnitude = magnitude * 10 + (run[i] - '0');
    if (magnitude > std::int64_t{INT32_MAX} + 1) {
      tooLarge = true;
      magnitude = std::int64_t{INT32_MAX} + 2;  // keep reading digits without overflowing
    }
  }
  const std::int64_t value = negative ? -magnitude : magnitude;
  if (tooLarge || value < INT32_MIN || value > INT32_MAX) {
    throw std::out_of_range("stoi argument out of range");
  }
  return static_cast<std::int32_t>(value);
}

}  // namespace

std::string jsonGetString(const std::string& json, const std::string& key,
                          const std::string& fallback) {
  const auto start = valueStart(json, key);
  if (!start) return fallback;
  const std::size_t open = json.find('"', *start);
  if (open == std::string::npos) return fallback;

  std::string value;
  bool escaped = false;
  for (std::size_t i = open + 1; i < json.size(); ++i) {
    const char c = json[i];
    if (escaped) {
      value += c;
      escaped = false;
    } else if (c == '\\') {
      escaped = true;
    } else if (c == '"') {
      return value;
    } else {
      value += c;
    }
  }
  return fallback;  // unterminated string
}

bool jsonGetBool(const std::string& json, const std::string& key, bool fallback) {
  const auto start = valueStart(json, key);
  if (!start) return fallback;
  const std::string window = json.substr(*start, 8);
  if (window.size() >= 4 && window.find("true") != std::string::npos) return true;
  if (window.size() >= 5 && window.find("false") != std::string::npos) return false;
  return fallback;
}

std::optional<std::int32_t> jsonGetInt(const std::string& json, const std::string& key) {
  const auto start = valueStart(json, key);
  if (!start) return std::nullopt;
  std::size_t i = *start;
  while (i < json.size() && isJsonSpace(json[i])) ++i;
  std::size_t end = i;
  while (end < json.size() && isRunByte(json[end])) ++end;
  if (end == i) return std::nullopt;
  return convertLikeStoi(json.substr(i, end - i));
}

namespace {

// Offsets just after the colon of each occurrence of the key that is followed by its colon.
template <typename Visit>
bool eachKeyValue(const std::string& json, const std::string& key, Visit visit) {
  const std::string needle = "\"" + key + "\"";
  for (std::size_t at = json.find(needle); at != std::string::npos;
       at = json.find(needle, at + 1)) {
    std::size_t i = at + needle.size();
    while (i < json.size() && isJsonSpace(json[i])) ++i;
    if (i < json.size() && json[i] == ':' && visit(i + 1)) return true;
  }
  return false;
}

}  // namespace

bool jsonHasKey(const std::string& json, const std::string& key) {
  return eachKeyValue(json, key, [](std::size_t) { return true; });
}

std::optional<std::string> jsonStringValue(const std::string& json, const std::string& key) {
  std::optional<std::string> found;
  eachKeyValue(json, key, [&](std::size_t i) {
    while (i < json.size() && isJsonSpace(json[i])) ++i;
    if (i >= json.size() || json[i] != '"') return false;
    std::string value;
    for (++i; i < json.size() && json[i] != '"'; ++i) {
      if (json[i] == '\\' && i + 1 < json.size()) ++i;
      value += json[i];
    }
    if (i >= json.size()) return false;  // unterminated
    found = std::move(value);
    return true;
  });
  return found;
}

bool jsonOpensObject(const std::string& json) {
  std::size_t i = json.rfind("\xEF\xBB\xBF", 0) == 0 ? 3 : 0;
  while (i < json.size() && isJsonSpace(json[i])) ++i;
  return i < json.size() && json[i] == '{';
}
