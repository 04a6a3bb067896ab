#pragma once
#include <string>

#include "scan/scan_words.h"

// The free keys of the services that offer one. Only the command line sets them: the desktop
// checker takes no settings. A key goes into its own service's request and nowhere else.
struct ServiceKeys {
  std::string proxycheck;   // proxycheck.io, sent as "&key="
  std::string ipinfoToken;  // ipinfo.io, sent to its Lite API as "?token="
};

// What the page (or the command line) asks of one scan.
struct ScanOptions {
  bool geo = true;
  bool reputation = true;
  bool tor = true;
  bool dns = true;
  bool local = true;
  bool autoIp = true;
  std::string mode{DEEP_MODE};  // any text, echoed in the result; scanModeOf reads it
  ServiceKeys keys;
};
