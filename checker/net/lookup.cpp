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
  if (result.status != 0) return "HTTP " + std::to_string(result.status);
  if (!result.failure.empty()) return result.failure;
  return "no answer";
}
