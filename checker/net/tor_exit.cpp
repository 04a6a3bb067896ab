#include "net/tor_exit.h"

#include <string_view>

#include "catalogue/catalogue.h"
#include "net/ipv4.h"
#include "net/service_reply.h"

namespace {
std::string_view trimBlanks(std::string_view s) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
  while (!s.empty() && blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && blank(s.back())) s.remove_suffix(1);
  return s;
}
// Calls visit for each line, blanks and CR trimmed, until it returns true.
template <typename Visit>
bool anyLine(std::string_view rest, Visit visit) {
  while (!rest.empty()) {
    const std::size_t end = rest.find('\n');
    if (visit(trimBlanks(rest.substr(0, end)))) return true;
    if (end == std::string_view::npos) break;
    rest.remove_prefix(end + 1);
  }
  return false;
}

bool holdsHtml(std::string_view body) {
  std::string lower(body.substr(0, 4096));
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  for (const char* tag : {"<html", "<!doctype", "<head", "<body", "<title"}) {
    if (lower.find(tag) != std::string::npos) return true;
  }
  return false;
}

// The list is one dotted address a line; a block page or a login page is no list, even when an
// address stands somewhere in it.
ServiceReading readExitList(const std::string& body) {
  if (holdsHtml(body)) return foreignReply();
  const bool hasAddress =
      anyLine(body, [](std::string_view line) { return parseIpv4(line).has_value(); });
  return hasAddress ? serviceAnswer() : foreignReply();
}

}  // namespace

bool exitListHasLine(const std::string& list, const std::string& address) {
  if (address.empty()) return false;
  // Whole lines only: a substring test would list 1.2.3.4 because of 11.2.3.45.
  return anyLine(list, [&address](std::string_view line) {
    return !line.empty() && line.front() != '#' && line == address;
  });
}

LookupResult isTorExit(const std::string& address, const Network& net) {
  const HttpResult r = net.httpGet(std::string(sourceByKey("torExitList").host),
                                   std::string(TOR_EXIT_LIST_PATH), true, NO_DEADLINE);
  if (auto unanswered = unansweredReply(r, readExitList(r.body), "not an exit list")) {
    return *unanswered;
  }
  return exitListHasLine(r.body, address) ? flaggedResult() : clearResult();
}
