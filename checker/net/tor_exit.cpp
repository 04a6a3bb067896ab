#include "net/tor_exit.h"

#include <string_view>

#include "catalogue/catalogue.h"

namespace {
std::string_view trimBlanks(std::string_view s) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
  while (!s.empty() && blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && blank(s.back())) s.remove_suffix(1);
  return s;
}
}  // namespace

bool exitListHasLine(const std::string& list, const std::string& address) {
  if (address.empty()) return false;
  // Whole lines only: a substring test would list 1.2.3.4 because of 11.2.3.45.
  std::string_view rest = list;
  while (!rest.empty()) {
    const std::size_t end = rest.find('\n');
    const std::string_view line = trimBlanks(rest.substr(0, end));
    if (!line.empty() && line.front() != '#' && line == address) return true;
    if (end == std::string_view::npos) break;
    rest.remove_prefix(end + 1);
  }
  return false;
}

LookupResult isTorExit(const std::string& address, const Network& net) {
  const HttpResult r =
      net.httpGet(std::string(sourceByKey("torExitList").host), "/torbulkexitlist", true);
  if (!r.ok) return failedResult(failureReason(r));
  return exitListHasLine(r.body, address) ? flaggedResult() : clearResult();
}
