// isTorExit over the real HTTP client (scenario tor: the list holds 198.51.100.7 and .70).
#include <gtest/gtest.h>

#include "net/tor_exit.h"

namespace {

TEST(TorExit, WholeLinesOfTheDownloadedListCount) {
  const Network net = systemNetwork();
  EXPECT_EQ(isTorExit("198.51.100.7", net).outcome, Lookup::flagged);
  EXPECT_EQ(isTorExit("198.51.100.70", net).outcome, Lookup::flagged);
  EXPECT_EQ(isTorExit("198.51.100.77", net).outcome, Lookup::clear);
  EXPECT_EQ(isTorExit("98.51.100.7", net).outcome, Lookup::clear);
}

}  // namespace
