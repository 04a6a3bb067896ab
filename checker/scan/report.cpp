#include "scan/report.h"

#include <sstream>

#include "json/json_write.h"

void addSource(ScanReport& report, const std::string& name, const std::string& domain,
               const std::string& group, Status status, const std::string& detail) {
  report.sources.push_back({name, domain, group, status, detail});
}

std::string buildIpResultMessage(const std::optional<std::string>& address) {
  std::string out = R"({"type":"ipResult","ok":)";
  if (address) {
    out += R"(true,"ip":")" + jsonEscape(*address) + "\"}";
  } else {
    out += R"(false,"error":"Could not discover public IP"})";
  }
  return out;
}

std::string writeScanResult(const ScanReport& report) {
  std::ostringstream out;
  out << R"({"type":"scanResult","ok":true,"ip":")" << jsonEscape(report.ip) << R"(","score":)"
      << report.score << R"(,"verdict":")" << verdictWord(report.verdict) << R"(","mode":")"
      << jsonEscape(report.mode) << R"(","sources":[)";
  for (std::size_t i = 0; i < report.sources.size(); ++i) {
    const SourceEntry& s = report.sources[i];
    if (i > 0) out << ',';
    out << R"({"name":")" << jsonEscape(s.name) << R"(","domain":")" << jsonEscape(s.domain)
        << R"(","group":")" << jsonEscape(s.group) << R"(","status":")" << statusWord(s.status)
        << R"(","detail":")" << jsonEscape(s.detail) << R"("})";
  }
  out << R"(],"logs":[)";
  for (std::size_t i = 0; i < report.logs.size(); ++i) {
    if (i > 0) out << ',';
    out << '"' << jsonEscape(report.logs[i]) << '"';
  }
  out << "]}";
  return out.str();
}
