#pragma once
// A source's status, the verdict and the scan mode are types inside the program; these functions
// give the words the JSON and the reports print, so each word is written down once.
#include <cstdint>
#include <string_view>

enum class Status { clean, bad, off, unknown };  // unknown: the source gave no answer

// In rising order of risk: --fail-on and the summary's worst-first order compare them.
enum class Verdict { clean, watchlist, suspicious, highRisk };

enum class ScanMode { deep, fast };

// The score from which each verdict holds (below the first: Clean).
inline constexpr std::int32_t WATCHLIST_FROM = 20;
inline constexpr std::int32_t SUSPICIOUS_FROM = 45;
inline constexpr std::int32_t HIGH_RISK_FROM = 75;

// The mode texts the programs send: the default, and the one that asks for the fast mode.
inline constexpr std::string_view DEEP_MODE = "deep";
inline constexpr std::string_view FAST_MODE = "fast";

std::string_view statusWord(Status status);
std::string_view verdictWord(Verdict verdict);
Verdict verdictFor(std::int32_t score);

// A request's mode is any text, echoed in the result as it came; only exactly "fast" (byte for
// byte) is the fast mode.
ScanMode scanModeOf(std::string_view requested);
