#pragma once
// The limits of one WinHTTP call, as a value so that tests can shrink them; httpGet uses the
// defaults of net/http.h.
#include <cstddef>
#include <string>

#include "net/http.h"

struct HttpLimits {
  long phaseMs = PHASE_TIMEOUT_MS;       // resolve, connect, send, receive (each read)
  long ceilingMs = CALL_CEILING_MS;      // the whole call
  std::size_t maxBody = MAX_BODY_BYTES;  // more than this ends the call, not ok
};

HttpResult httpGetWithin(const std::string& host, const std::string& path, bool secure,
                         const HttpLimits& limits);
