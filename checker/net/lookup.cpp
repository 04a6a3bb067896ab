#include "net/lookup.h"

#include "net/http.h"

LookupResult clearResult() {
  return {Lookup::clear, {}};
}
LookupResult flaggedResult() {
  return {Lookup::flagged, {}};
}
LookupResult failedResult(std::string reason) {
  return {Lookup::failed, std::move(reason)};
}

std::string failureReason(const HttpResult& result) {
  // A 2xx that still failed (a body over the cap) is explained by the client's own word.
  const bool successStatus = result.status >= 200 && result.status <= 299;
  if (result.status != 0 && !successStatus) return "HTTP " + std::to_string(result.status);
  if (!result.failure.empty()) return result.failure;
  return "no answer";
}
