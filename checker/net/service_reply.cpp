#include "net/service_reply.h"

#include "json/display_text.h"

ServiceReading serviceAnswer() {
  return {ServiceReading::Kind::answer, {}};
}

ServiceReading refusal(std::string words) {
  return {ServiceReading::Kind::refusal, std::move(words)};
}

ServiceReading foreignReply() {
  return {ServiceReading::Kind::foreign, {}};
}

std::optional<LookupResult> unansweredReply(const HttpResult& reply, const ServiceReading& reading,
                                            const char* foreignReason) {
  const bool refused = reading.kind == ServiceReading::Kind::refusal;
  std::string words = refused ? plainWords(reading.words) : std::string();
  if (refused && words.empty()) words = "refused by the service";
  if (!reply.ok) {
    std::string reason = failureReason(reply);
    // A failed status with the service's words says more than the number alone.
    const bool failedStatus = reply.status != 0 && (reply.status < 200 || reply.status > 299);
    if (failedStatus && refused) reason += ": " + words;
    return failedResult(shortWords(reason, MAX_REASON_BYTES));
  }
  if (reading.kind == ServiceReading::Kind::answer) return std::nullopt;
  return failedResult(refused ? shortWords(words, MAX_REASON_BYTES) : foreignReason);
}
