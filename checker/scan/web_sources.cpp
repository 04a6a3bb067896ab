// The seven web sources: one GET each, and a rule that turns the raw body into a flag.
#include "scan/web_sources.h"

#include <stdexcept>

#include "catalogue/catalogue.h"
#include "json/json_read.h"
#include "scan/hosting.h"

namespace {

HttpResult ask(std::string_view key, const std::string& path, bool secure, const Network& net) {
  return net.httpGet(std::string(sourceByKey(key).host), path, secure, NO_DEADLINE);
}

LookupResult flagIf(bool flagged) {
  return flagged ? flaggedResult() : clearResult();
}

// A number the reader cannot convert (a lone "-", out of range) counts as no number at all.
std::optional<std::int32_t> readInt(const std::string& body, const std::string& key) {
  try {
    return jsonGetInt(body, key);
  } catch (const std::invalid_argument&) {
    return std::nullopt;
  } catch (const std::out_of_range&) {
    return std::nullopt;
  }
}

LookupResult hostingVerdict(const HttpResult& r) {
  if (!r.ok) return failedResult(failureReason(r));
  return flagIf(looksLikeHosting(r.body));
}

LookupResult hostingSource(std::string_view key, const std::string& path, const Network& net) {
  return hostingVerdict(ask(key, path, true, net));
}

}  // namespace

LookupResult geoLookup(const std::string& address, const Network& net) {
  return keyedGeoLookup(address, net, {});
}

LookupResult keyedGeoLookup(const std::string& address, const Network& net,
                            const ServiceKeys& keys) {
  if (keys.ipinfoToken.empty()) return hostingSource("geoLookup", "/" + address, net);
  // The Lite answer names the network's owner in as_name and as_domain: the same keyword rule.
  return hostingVerdict(net.httpGet(std::string(sourceByKey("geoLookup").keyedHost),
                                    "/lite/" + address + "?token=" + keys.ipinfoToken, true,
                                    NO_DEADLINE));
}

RiskResult proxyRisk(const std::string& address, const Network& net) {
  return keyedProxyRisk(address, net, {});
}

RiskResult keyedProxyRisk(const std::string& address, const Network& net, const ServiceKeys& keys) {
  std::string path = "/v2/" + address + "?vpn=1&asn=1&risk=1";
  if (!keys.proxycheck.empty()) path += "&key=" + keys.proxycheck;
  const HttpResult r = ask("proxyRisk", path, true, net);
  if (!r.ok) return {failedResult(failureReason(r)), 0};
  const std::int32_t risk = readInt(r.body, "risk").value_or(0);
  // The service pretty-prints ("proxy": "yes"), so white space around the colon is allowed.
  const bool marked = hasJsonMarker(r.body, "\"proxy\"", "\"yes\"");
  return {flagIf(marked || risk >= 45), risk};
}

LookupResult ipFlags(const std::string& address, const Network& net) {
  const HttpResult r =
      ask("ipFlags", "/json/" + address + "?fields=status,proxy,hosting", false, net);
  if (!r.ok) return failedResult(failureReason(r));
  return flagIf(hasJsonMarker(r.body, "\"proxy\"", "true") ||
                hasJsonMarker(r.body, "\"hosting\"", "true"));
}

LookupResult ipDetails(const std::string& address, const Network& net) {
  return hostingSource("ipDetails", "/" + address + "/json/", net);
}

LookupResult dbIp(const std::string& address, const Network& net) {
  return hostingSource("dbIp", "/v2/free/" + address, net);
}

LookupResult freeIpApi(const std::string& address, const Network& net) {
  return hostingSource("freeIpApi", "/api/json/" + address, net);
}

LookupResult stopForumSpam(const std::string& address, const Network& net) {
  const HttpResult r = ask("stopForumSpam", "/api?ip=" + address + "&json", true, net);
  if (!r.ok) return failedResult(failureReason(r));
  const auto appears = readInt(r.body, "appears");
  return flagIf(appears.has_value() && *appears > 0);
}
