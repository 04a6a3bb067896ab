#pragma once
// The services' free keys for velmora-scan: the environment, or the user's keys file.
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "net/network.h"
#include "scan/scan_options.h"

inline constexpr const char* PROXYCHECK_KEY_NAME = "VELMORA_PROXYCHECK_KEY";
inline constexpr const char* IPINFO_TOKEN_NAME = "VELMORA_IPINFO_TOKEN";

struct KeysLoad {
  ServiceKeys keys;
  std::string error;  // the run must not go on; never holds a key
};

// The value of an environment variable, if set.
using EnvironmentLookup = std::function<std::optional<std::string>(const char* name)>;

// NAME=value lines, # comments, blank lines; origin names the file in errors.
KeysLoad parseKeysText(const std::string& text, const std::string& origin);

// The keys file at path (none there is fine; one others may read is refused), then the
// environment, which wins.
KeysLoad loadServiceKeys(const std::string& path, const EnvironmentLookup& environment);

// The key a catalogue source is asked with; empty for none.
const std::string& keyOfSource(const ServiceKeys& keys, std::string_view sourceKey);

// Wraps inner so that no answer brings a key back into the scan (a service may quote the key it
// was sent in an error): each one is replaced by "[key]" in bodies and reasons.
Network keysKeptOutOfAnswers(const Network& inner, const ServiceKeys& keys);
