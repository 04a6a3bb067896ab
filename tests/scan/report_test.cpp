#include "scan/report.h"

#include <gtest/gtest.h>

namespace {

TEST(ScanReport, WritesTheCompactMessageInKeyOrder) {
  ScanReport r;
  r.ip = "1.2.3.4";
  r.mode = "";
  r.score = 100;
  r.verdict = Verdict::highRisk;
  addSource(r, "a\"b", "d", "dns", Status::bad, "");
  addSource(r, "n", "d\\", "ip", Status::clean, "Public IP source");
  r.logs = {"one", "two\nlines"};
  EXPECT_EQ(writeScanResult(r),
            R"({"type":"scanResult","ok":true,"ip":"1.2.3.4","score":100,"verdict":"High risk",)"
            R"("mode":"","sources":[{"name":"a\"b","domain":"d","group":"dns","status":"bad",)"
            R"("detail":""},{"name":"n","domain":"d\\","group":"ip","status":"clean",)"
            R"("detail":"Public IP source"}],"logs":["one","two\nlines"]})");
}

TEST(ScanReport, EmptyListsAreTwoBrackets) {
  ScanReport r;
  r.ip = "x";
  r.mode = "deep";
  EXPECT_EQ(writeScanResult(r),
            R"({"type":"scanResult","ok":true,"ip":"x","score":0,"verdict":"Clean",)"
            R"("mode":"deep","sources":[],"logs":[]})");
}

TEST(ScanReport, IpRequiredAnswerIsTheFixedText) {
  EXPECT_EQ(IP_REQUIRED_REPLY.size(), 153u);
  EXPECT_EQ(IP_REQUIRED_REPLY.substr(0, 41), R"({"type":"scanResult","ok":false,"error":")");
}

}  // namespace
