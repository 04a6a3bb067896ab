// When the system refuses a new thread, the request is answered at once with its failure reply
// instead of never.
#include <gtest/gtest.h>

#include <optional>

#include "app/bridge.h"
#include "refuse_threads.h"
#include "reply_collector.h"
#include "scan/report.h"

namespace {

TEST(Bridge, AThreadThatCannotStartIsAnsweredAtOnce) {
  ReplyCollector collector;
  const BridgeWork work{[](const ScanRequest&) { return std::string("scan"); },
                        [] { return std::string("getIp"); }};
  g_refuseThreads = true;
  handleWebMessage(R"({"type":"scan","ip":"1.2.3.4"})", collector.post(), work);
  handleWebMessage(R"({"type":"getIp"})", collector.post(), work);
  handleWebMessage(R"({"type":"Scan"})", collector.post(), work);
  g_refuseThreads = false;
  // Posted from this thread before handleWebMessage returned: no waiting needed.
  ASSERT_EQ(collector.size(), 2u);
  EXPECT_EQ(collector.replies[0], SCAN_FAILED_REPLY);
  EXPECT_EQ(collector.replies[1], buildIpResultMessage(std::nullopt));
}

}  // namespace
