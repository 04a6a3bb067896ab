// The page bridge with fake work and a fake window thread: what each message is read as, which
// messages start a worker, and that every accepted request gets exactly one reply.
#include "app/bridge.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <optional>
#include <stdexcept>
#include <thread>

#include "reply_collector.h"
#include "scan/report.h"

namespace {

// The fake scan answers with what it was asked, so a reply shows how the message was read.
std::string describe(const ScanRequest& r) {
  const ScanOptions& o = r.options;
  std::string flags;
  for (bool on : {o.geo, o.reputation, o.tor, o.dns, o.local, o.autoIp}) flags += on ? '1' : '0';
  return "scan ip=[" + r.ip + "] " + flags + " mode=[" + o.mode + "]";
}

// Counts its own copies: the bridge copies the work into each worker it starts, so a message
// that starts no worker leaves the count at zero, known at once without waiting.
struct Counted {
  std::shared_ptr<std::atomic<int>> copies = std::make_shared<std::atomic<int>>(0);
  Counted() = default;
  Counted(const Counted& other) : copies(other.copies) { ++*copies; }
};

struct FakeScan : Counted {
  std::string operator()(const ScanRequest& r) const { return describe(r); }
};
struct FakeGetIp : Counted {
  std::string operator()() const { return "getIp"; }
};

struct Case {
  const char* message;
  const char* reply;  // nullptr: ignored, no worker, no reply
};

const Case CASES[] = {
    // getIp is read for its type only.
    {R"({"type":"getIp"})", "getIp"},
    {R"({"type":"getIp","ip":"1.2.3.4","geo":false,"mode":"fast"})", "getIp"},
    // A bare scan takes every default.
    {R"({"type":"scan"})", "scan ip=[] 111111 mode=[deep]"},
    {R"({"type":"scan","geo":false})", "scan ip=[] 011111 mode=[deep]"},
    {R"({"type":"scan","reputation":false,"local":false})", "scan ip=[] 101101 mode=[deep]"},
    {R"({"type":"scan","geo":false,"reputation":false,"tor":false,"dns":false,"local":false,)"
     R"("autoIp":false,"mode":"fast","ip":"203.0.113.7"})",
     "scan ip=[203.0.113.7] 000000 mode=[fast]"},
    // Only the literals count; 0 and null keep the default, the string "false" reads false.
    {R"({"type":"scan","geo":0,"tor":null,"dns":1})", "scan ip=[] 111111 mode=[deep]"},
    {R"({"type":"scan","dns":"false"})", "scan ip=[] 111011 mode=[deep]"},
    {R"({"type":"scan","autoIp": false})", "scan ip=[] 111110 mode=[deep]"},
    // Key order does not matter; ip and mode pass on unchanged, blanks and all.
    {R"({"ip":"198.51.100.9","autoIp":false,"type":"scan"})",
     "scan ip=[198.51.100.9] 111110 mode=[deep]"},
    {R"({"type":"scan","ip":" 1.2.3.4 ","mode":"Fast"})", "scan ip=[ 1.2.3.4 ] 111111 mode=[Fast]"},
    {R"({"type":"scan","ip":"<img src=x onerror=alert(1)>"})",
     "scan ip=[<img src=x onerror=alert(1)>] 111111 mode=[deep]"},
    {R"({"type":"scan","ip":"","autoIp":false})", "scan ip=[] 111110 mode=[deep]"},
    // Anything but the exact types is dropped without a reply.
    {R"({"type":"Scan"})", nullptr},
    {R"({"type":"scan "})", nullptr},
    {R"({"type":" scan"})", nullptr},
    {R"({"type":"getip"})", nullptr},
    {R"({"type":"GetIp"})", nullptr},
    {R"({"type":""})", nullptr},
    {R"({"ip":"1.2.3.4"})", nullptr},
    {R"({})", nullptr},
    {"", nullptr},
    {"not json at all", nullptr},
    // What the page's postMessage of a string (not an object) arrives as.
    {R"("{\"type\":\"scan\"}")", nullptr},
    {R"("scan")", nullptr},
};

TEST(Bridge, EachMessageIsReadAsItsTableSays) {
  for (const Case& c : CASES) {
    SCOPED_TRACE(c.message);
    ReplyCollector collector;
    FakeScan scan;
    FakeGetIp getIp;
    const BridgeWork work{scan, getIp};
    const int copiesBefore = *scan.copies + *getIp.copies;

    handleWebMessage(c.message, collector.post(), work);

    if (c.reply == nullptr) {
      EXPECT_EQ(*scan.copies + *getIp.copies, copiesBefore) << "a worker was started";
      EXPECT_EQ(collector.size(), 0u);
    } else {
      const auto replies = collector.waitFor(1);
      ASSERT_EQ(replies.size(), 1u);
      EXPECT_EQ(replies[0], c.reply);
    }
  }
}

TEST(Bridge, EveryAcceptedRequestGetsExactlyOneReply) {
  ReplyCollector collector;
  const BridgeWork work{FakeScan{}, FakeGetIp{}};
  const PostReply post = collector.post();
  size_t accepted = 0;
  for (int round = 0; round < 8; ++round) {
    for (const Case& c : CASES) {
      handleWebMessage(c.message, post, work);
      if (c.reply != nullptr) ++accepted;
    }
  }
  EXPECT_EQ(collector.waitFor(accepted).size(), accepted);
  // A worker that posted twice would have done so right after its first reply.
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  EXPECT_EQ(collector.size(), accepted);
}

// The first scan cannot finish until the second one's reply has been posted: both must be running
// at once, and replies come in the order the scans finish, not the order they were asked.
TEST(Bridge, TwoScansRunInParallelAndAnswerInTheOrderTheyFinish) {
  ReplyCollector collector;
  const BridgeWork work{[&collector](const ScanRequest& r) {
                          if (r.ip == "second") return std::string("second");
                          std::unique_lock lock(collector.mutex);
                          const bool overtaken = collector.arrived.wait_for(
                              lock, std::chrono::seconds(20),
                              [&] { return !collector.replies.empty(); });
                          return std::string(overtaken ? "first" : "first ran alone");
                        },
                        FakeGetIp{}};
  handleWebMessage(R"({"type":"scan","ip":"first"})", collector.post(), work);
  handleWebMessage(R"({"type":"scan","ip":"second"})", collector.post(), work);
  const auto replies = collector.waitFor(2);
  ASSERT_EQ(replies.size(), 2u);
  EXPECT_EQ(replies[0], "second");
  EXPECT_EQ(replies[1], "first");
}

// Work that throws, whatever it throws, still ends in one failure reply of the right kind.
TEST(Bridge, WorkThatThrowsAnswersWithTheFailureReply) {
  const std::string ipFailure = buildIpResultMessage(std::nullopt);
  const BridgeWork throwing{[](const ScanRequest& r) -> std::string {
                              if (r.ip == "int") throw 42;
                              if (r.ip == "range") throw std::out_of_range("stoi");
                              throw std::runtime_error("boom");
                            },
                            []() -> std::string { throw std::bad_alloc(); }};
  const BridgeWork empty{};  // calling an empty function throws too

  for (const BridgeWork* work : {&throwing, &empty}) {
    ReplyCollector collector;
    handleWebMessage(R"({"type":"scan","ip":"int"})", collector.post(), *work);
    handleWebMessage(R"({"type":"scan","ip":"range"})", collector.post(), *work);
    handleWebMessage(R"({"type":"scan"})", collector.post(), *work);
    handleWebMessage(R"({"type":"getIp"})", collector.post(), *work);
    auto replies = collector.waitFor(4);
    ASSERT_EQ(replies.size(), 4u);
    std::sort(replies.begin(), replies.end());
    EXPECT_EQ(replies[0], ipFailure);
    for (int i = 1; i < 4; ++i) EXPECT_EQ(replies[i], SCAN_FAILED_REPLY);
  }
}

// A window that is gone refuses the reply; the worker then frees it (the sanitizer builds see a
// leak or a double free otherwise) and nothing else happens.
TEST(Bridge, ARefusedReplyIsFreedByItsWorker) {
  auto posts = std::make_shared<std::atomic<int>>(0);
  const PostReply refuse = [posts](std::unique_ptr<std::string>& reply) {
    EXPECT_TRUE(reply);
    ++*posts;
    return false;
  };
  const BridgeWork work{FakeScan{}, FakeGetIp{}};
  handleWebMessage(R"({"type":"scan"})", refuse, work);
  handleWebMessage(R"({"type":"getIp"})", refuse, work);
  for (int i = 0; i < 2000 && *posts < 2; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_EQ(*posts, 2);
}

}  // namespace
