#pragma once
#include <string>

// What the page (or the command line) asks of one scan.
struct ScanOptions {
  bool geo = true;
  bool reputation = true;
  bool tor = true;
  bool dns = true;
  bool local = true;
  bool autoIp = true;
  std::string mode = "deep";  // exactly "fast" skips two services
};
