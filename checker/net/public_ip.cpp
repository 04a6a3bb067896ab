#include "net/public_ip.h"

#include "catalogue/catalogue.h"
#include "json/json_read.h"

std::optional<std::string> discoverPublicIp(const Network& net) {
  static const std::string ABSENT(1, '\x01');
  const HttpResult r = net.httpGet(std::string(sourceByKey("publicIpEcho").host), "/?format=json",
                                   true, NO_DEADLINE);
  if (!r.ok) return std::nullopt;
  std::string ip = jsonGetString(r.body, "ip", ABSENT);
  if (ip == ABSENT) return std::nullopt;
  return ip;
}
