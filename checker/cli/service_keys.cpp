// A key is never echoed: errors name the line and the variable, not what was written there.
#include "cli/service_keys.h"

#include <sstream>

#include "cli/user_files.h"

namespace {

// The services' keys are letters, digits and dashes; anything else would change the request.
bool plausibleKey(const std::string& value) {
  if (value.empty() || value.size() > 128) return false;
  for (const char c : value) {
    const bool alnum = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
    if (!alnum && c != '-' && c != '_') return false;
  }
  return true;
}

std::string trimmed(const std::string& text) {
  const auto first = text.find_first_not_of(" \t\r");
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

std::string* slotFor(ServiceKeys& keys, const std::string& name) {
  if (name == PROXYCHECK_KEY_NAME) return &keys.proxycheck;
  if (name == IPINFO_TOKEN_NAME) return &keys.ipinfoToken;
  return nullptr;
}

}  // namespace

KeysLoad parseKeysText(const std::string& text, const std::string& origin) {
  KeysLoad load;
  std::istringstream lines(text);
  std::string line;
  for (int number = 1; std::getline(lines, line); ++number) {
    line = trimmed(line);
    if (line.empty() || line.front() == '#') continue;
    const std::string where = origin + " line " + std::to_string(number) + ": ";
    const auto equals = line.find('=');
    std::string* slot =
        equals == std::string::npos ? nullptr : slotFor(load.keys, trimmed(line.substr(0, equals)));
    if (!slot) {
      load.error =
          where + "expected " + PROXYCHECK_KEY_NAME + "=... or " + IPINFO_TOKEN_NAME + "=...";
      return load;
    }
    *slot = trimmed(line.substr(equals + 1));
    if (!plausibleKey(*slot)) {
      load.error = where + "the value is not a key (letters, digits, '-' and '_' only)";
      return load;
    }
  }
  return load;
}

KeysLoad loadServiceKeys(const std::string& path, const EnvironmentLookup& environment) {
  KeysLoad load;
  if (!path.empty()) {
    const PrivateFile file = readPrivateFile(path);
    if (!file.error.empty()) return {{}, file.error};
    if (file.exists) load = parseKeysText(file.text, path);
    if (!load.error.empty()) return load;
  }
  for (const char* name : {PROXYCHECK_KEY_NAME, IPINFO_TOKEN_NAME}) {
    const std::optional<std::string> value = environment(name);
    if (!value || value->empty()) continue;
    if (!plausibleKey(*value)) {
      return {{}, std::string(name) + " is not a key (letters, digits, '-' and '_' only)"};
    }
    *slotFor(load.keys, name) = *value;
  }
  return load;
}

const std::string& keyOfSource(const ServiceKeys& keys, std::string_view sourceKey) {
  static const std::string none;
  if (sourceKey == "proxyRisk") return keys.proxycheck;
  if (sourceKey == "geoLookup") return keys.ipinfoToken;
  return none;
}

Network keysKeptOutOfAnswers(const Network& inner, const ServiceKeys& keys) {
  if (keys.proxycheck.empty() && keys.ipinfoToken.empty()) return inner;
  Network wrapped = inner;
  wrapped.httpGet = [inner, keys](const std::string& host, const std::string& path, bool secure,
                                  Deadline deadline) {
    HttpResult result = inner.httpGet(host, path, secure, deadline);
    for (const std::string* key : {&keys.proxycheck, &keys.ipinfoToken}) {
      if (key->empty()) continue;
      for (std::string* text : {&result.body, &result.failure}) {
        for (auto at = text->find(*key); at != std::string::npos; at = text->find(*key, at)) {
          text->replace(at, key->size(), "[key]");
        }
      }
    }
    return result;
  };
  return wrapped;
}
