#pragma once
// One blocking HTTP GET. Each platform folder defines httpGet (libcurl on POSIX, WinHTTP on
// Windows); both follow the same limits.
#include <cstddef>
#include <cstdint>
#include <string>

struct HttpResult {
  bool ok = false;           // a response arrived and its status is 200..299
  std::uint32_t status = 0;  // 0 when no response (or no readable status) arrived
  std::string body;          // bytes as received; may be partial
  std::string failure;       // why no usable response came: "time-out", "no connection", ...
  std::uint32_t retryAfterSeconds = 0;  // the answer's Retry-After in seconds; 0 when none
};

inline constexpr const char* USER_AGENT = "VelmoraChecker/2.0";
inline constexpr long PHASE_TIMEOUT_MS = 10000;           // resolve, connect, send, receive
inline constexpr long CALL_CEILING_MS = 60000;            // one call never lasts longer
inline constexpr std::size_t MAX_BODY_BYTES = 16u << 20;  // a larger body ends the call, not ok

// host: bare host name; path: path and query as built by the caller; secure: TLS on 443, else 80.
HttpResult httpGet(const std::string& host, const std::string& path, bool secure);
