#pragma once
// What a web service's reply amounts to: its answer, its refusal in its own words, or something
// that is not its form at all (a login page, HTML, an API that changed). Only an answer is judged.
#include <cstddef>
#include <optional>
#include <string>

#include "net/http.h"
#include "net/lookup.h"

struct ServiceReading {
  enum class Kind { answer, refusal, foreign };
  Kind kind = Kind::foreign;
  std::string words;  // a refusal's own words, as the service sent them
};

ServiceReading serviceAnswer();
ServiceReading refusal(std::string words);
ServiceReading foreignReply();

// Reasons are shown in a table row: at most this many bytes, one line, valid UTF-8.
inline constexpr std::size_t MAX_REASON_BYTES = 60;

// Nothing when the reply is a 2xx answer in the service's form. Otherwise the "unknown" result:
// the service's words where it gave them ("HTTP 429: RateLimited"), the transport's reason, or
// "answer not understood".
std::optional<LookupResult> unansweredReply(const HttpResult& reply, const ServiceReading& reading,
                                            const char* foreignReason = "answer not understood");
