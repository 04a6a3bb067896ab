#pragma once
// What each web service allows a client without an account or key, as the service publishes it.
#include <cstdint>
#include <string_view>

struct RateLimit {
  std::int64_t requests = 0;       // at most this many requests ...
  std::int64_t windowSeconds = 0;  // ... in any stretch this long; requests 0: no published limit
};

// The published free-tier limit of a source by key; requests 0 where none is published.
RateLimit rateLimitOf(std::string_view key);
