#include "scan/scan_words.h"

std::string_view statusWord(Status status) {
  switch (status) {
    case Status::clean:
      return "clean";
    case Status::bad:
      return "bad";
    case Status::off:
      return "off";
    case Status::unknown:
      break;
  }
  return "unknown";
}

std::string_view verdictWord(Verdict verdict) {
  switch (verdict) {
    case Verdict::clean:
      return "Clean";
    case Verdict::watchlist:
      return "Watchlist";
    case Verdict::suspicious:
      return "Suspicious";
    case Verdict::highRisk:
      break;
  }
  return "High risk";
}

Verdict verdictFor(std::int32_t score) {
  if (score >= HIGH_RISK_FROM) return Verdict::highRisk;
  if (score >= SUSPICIOUS_FROM) return Verdict::suspicious;
  if (score >= WATCHLIST_FROM) return Verdict::watchlist;
  return Verdict::clean;
}

ScanMode scanModeOf(std::string_view requested) {
  return requested == FAST_MODE ? ScanMode::fast : ScanMode::deep;
}
