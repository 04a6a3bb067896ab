#pragma once
#include <optional>
#include <string>

#include "net/network.h"

// Asks the public-IP echo service; nothing when the request or the answer gave no "ip".
std::optional<std::string> discoverPublicIp(const Network& net);
