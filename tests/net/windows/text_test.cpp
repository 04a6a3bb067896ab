// utf8ToWide and wideToUtf8 through code page 65001.
#include "net/windows/text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(TextConversion, Utf8ToWide) {
  struct Case {
    std::string utf8;
    std::wstring wide;
  };
  const std::vector<Case> cases = {
      {"", L""},
      {"a", L"a"},
      {std::string("a\0b", 3), L"a"},  // taken as NUL-terminated
      {"caf\xC3\xA9", L"caf\u00E9"},
      {"\xE2\x82\xAC 5", L"\u20AC 5"},
      {"\xF0\x9F\x98\x80", L"\xD83D\xDE00"},  // beyond the BMP: a surrogate pair
      {"a\xFF"
       "b",
       L"a\uFFFDb"},  // invalid bytes are replaced, not rejected
      {"\xC3", L"\uFFFD"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.utf8);
    EXPECT_EQ(utf8ToWide(c.utf8), c.wide);
  }
}

TEST(TextConversion, WideToUtf8) {
  struct Case {
    std::wstring wide;
    std::string utf8;
  };
  const std::vector<Case> cases = {
      {L"", ""},
      {L"{\"type\":\"scan\"}", "{\"type\":\"scan\"}"},
      {std::wstring(L"a\0b", 3), "a"},
      {L"caf\u00E9", "caf\xC3\xA9"},
      {L"\xD83D\xDE00", "\xF0\x9F\x98\x80"},
      {L"\xD800x", "\xEF\xBF\xBDx"},  // a lone surrogate becomes U+FFFD
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.utf8);
    EXPECT_EQ(wideToUtf8(c.wide), c.utf8);
    EXPECT_EQ(wideToUtf8(c.wide.c_str()), c.utf8);
  }
  EXPECT_EQ(wideToUtf8(static_cast<const wchar_t*>(nullptr)), "");
}

TEST(TextConversion, RoundTripKeepsEveryValidText) {
  const std::string text = "Z\xC3\xBCrich \xE6\x9D\xB1\xE4\xBA\xAC \xF0\x9F\x9B\xA1 \"\\\n";
  EXPECT_EQ(wideToUtf8(utf8ToWide(text)), text);
}

}  // namespace
