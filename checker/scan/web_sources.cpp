// The seven web sources: one GET each, and a rule that turns the raw body into a flag. A body is
// judged only when it is the service's own answer; its refusals (a used-up free tier, "denied",
// an error object) and anything else (a login page, HTML, an API that changed) are no answer.
#include "scan/web_sources.h"

#include <stdexcept>

#include "catalogue/catalogue.h"
#include "json/json_read.h"
#include "net/service_reply.h"
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

// The first of the keys that holds a string: a service's words for why it did not answer.
ServiceReading refusedWith(const std::string& body, std::initializer_list<const char*> keys) {
  for (const char* key : keys) {
    if (auto words = jsonStringValue(body, key); words && !words->empty()) {
      return refusal(*words);
    }
  }
  return refusal("refused by the service");
}

// Each service's answer form, from the answers it really sends.

ServiceReading readIpinfo(const std::string& body) {
  if (!jsonOpensObject(body)) return foreignReply();
  if (jsonHasKey(body, "error")) return refusedWith(body, {"title", "message"});
  return jsonHasKey(body, "ip") ? serviceAnswer() : foreignReply();
}

ServiceReading readProxycheck(const std::string& body) {
  if (!jsonOpensObject(body)) return foreignReply();
  const std::string status = jsonStringValue(body, "status").value_or("");
  if (status == "ok" || status == "warning") return serviceAnswer();  // a warning keeps the data
  if (status == "denied" || status == "error") return refusedWith(body, {"message"});
  return foreignReply();
}

ServiceReading readIpApiCom(const std::string& body) {
  if (!jsonOpensObject(body)) return foreignReply();
  const std::string status = jsonStringValue(body, "status").value_or("");
  if (status == "success") return serviceAnswer();
  if (status == "fail") return refusedWith(body, {"message"});
  return foreignReply();
}

ServiceReading readIpapiCo(const std::string& body) {
  if (!jsonOpensObject(body)) return foreignReply();
  if (jsonGetBool(body, "error", false)) return refusedWith(body, {"reason", "message"});
  return jsonHasKey(body, "ip") ? serviceAnswer() : foreignReply();
}

ServiceReading readDbIp(const std::string& body) {
  if (!jsonOpensObject(body)) return foreignReply();
  if (jsonHasKey(body, "error")) return refusedWith(body, {"error", "errorCode"});
  return jsonHasKey(body, "ipAddress") ? serviceAnswer() : foreignReply();
}

ServiceReading readFreeIpApi(const std::string& body) {
  if (!jsonOpensObject(body)) return foreignReply();
  if (jsonHasKey(body, "ipAddress")) return serviceAnswer();
  if (jsonHasKey(body, "message") || jsonHasKey(body, "error")) {
    return refusedWith(body, {"message", "error"});
  }
  return foreignReply();
}

ServiceReading readStopForumSpam(const std::string& body) {
  if (!jsonOpensObject(body)) return foreignReply();
  const auto success = readInt(body, "success");
  if (success == 1) return serviceAnswer();
  if (success == 0) return refusedWith(body, {"error"});
  return foreignReply();
}

using Reader = ServiceReading (*)(const std::string&);

LookupResult hostingVerdict(const HttpResult& r, Reader read) {
  if (auto unanswered = unansweredReply(r, read(r.body))) return *unanswered;
  return flagIf(looksLikeHosting(r.body));
}

LookupResult hostingSource(std::string_view key, const std::string& path, Reader read,
                           const Network& net) {
  return hostingVerdict(ask(key, path, true, net), read);
}

}  // namespace

LookupResult geoLookup(const std::string& address, const Network& net) {
  return keyedGeoLookup(address, net, {});
}

LookupResult keyedGeoLookup(const std::string& address, const Network& net,
                            const ServiceKeys& keys) {
  if (keys.ipinfoToken.empty()) return hostingSource("geoLookup", "/" + address, readIpinfo, net);
  // The Lite answer ("ip", "asn", "as_name", "as_domain", ...) names the network's owner: the
  // same keyword rule, and the same answer form.
  return hostingVerdict(
      net.httpGet(std::string(sourceByKey("geoLookup").keyedHost),
                  "/lite/" + address + "?token=" + keys.ipinfoToken, true, NO_DEADLINE),
      readIpinfo);
}

RiskResult proxyRisk(const std::string& address, const Network& net) {
  return keyedProxyRisk(address, net, {});
}

RiskResult keyedProxyRisk(const std::string& address, const Network& net, const ServiceKeys& keys) {
  std::string path = "/v2/" + address + "?vpn=1&asn=1&risk=1";
  if (!keys.proxycheck.empty()) path += "&key=" + keys.proxycheck;
  const HttpResult r = ask("proxyRisk", path, true, net);
  if (auto unanswered = unansweredReply(r, readProxycheck(r.body))) return {*unanswered, 0};
  const std::int32_t risk = readInt(r.body, "risk").value_or(0);
  // The service pretty-prints ("proxy": "yes"), so white space around the colon is allowed.
  const bool marked = hasJsonMarker(r.body, "\"proxy\"", "\"yes\"");
  return {flagIf(marked || risk >= 45), risk};
}

LookupResult ipFlags(const std::string& address, const Network& net) {
  const HttpResult r =
      ask("ipFlags", "/json/" + address + "?fields=status,proxy,hosting", false, net);
  if (auto unanswered = unansweredReply(r, readIpApiCom(r.body))) return *unanswered;
  return flagIf(hasJsonMarker(r.body, "\"proxy\"", "true") ||
                hasJsonMarker(r.body, "\"hosting\"", "true"));
}

LookupResult ipDetails(const std::string& address, const Network& net) {
  return hostingSource("ipDetails", "/" + address + "/json/", readIpapiCo, net);
}

LookupResult dbIp(const std::string& address, const Network& net) {
  return hostingSource("dbIp", "/v2/free/" + address, readDbIp, net);
}

LookupResult freeIpApi(const std::string& address, const Network& net) {
  return hostingSource("freeIpApi", "/api/json/" + address, readFreeIpApi, net);
}

LookupResult stopForumSpam(const std::string& address, const Network& net) {
  const HttpResult r = ask("stopForumSpam", "/api?ip=" + address + "&json", true, net);
  if (auto unanswered = unansweredReply(r, readStopForumSpam(r.body))) return *unanswered;
  const auto appears = readInt(r.body, "appears");
  return flagIf(appears.has_value() && *appears > 0);
}
