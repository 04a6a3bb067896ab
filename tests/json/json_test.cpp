// The readers' loose matching rules are a contract with the page and the services; these tables
// pin each rule down, including the surprising ones.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <stdexcept>

#include "json/json_read.h"
#include "json/json_write.h"

namespace {

struct StringCase {
  const char* json;
  const char* key;
  std::string expected;  // "FB" means the fallback came back
  std::string strict;    // jsonStringValue; "FB" means nothing
};

TEST(JsonGetString, FollowsTheMatchingRules) {
  const StringCase cases[] = {
      {"", "ip", "FB", "FB"},
      {R"({"a":"b"})", "ip", "FB", "FB"},
      {R"({"ip" "x"})", "ip", "FB", "FB"},  // no colon after the key
      {R"({"ip":42})", "ip", "FB", "FB"},   // no string anywhere after it
      {R"({"ip":"1.2.3.4"})", "ip", "1.2.3.4", "1.2.3.4"},
      {R"({"ip" :  "1.2.3.4"})", "ip", "1.2.3.4", "1.2.3.4"},
      {R"({"type":"ip","mode":"fast"})", "ip", "fast", "FB"},  // the key first occurs as a value
      {R"({"ip":null,"mode":"fast"})", "ip", "mode", "FB"},  // a non-string value: next string wins
      {R"({"ip":"1.2.3.4})", "ip", "FB", "FB"},              // unterminated
      {R"({"s":"a\"b\\c\nd"})", "s", "a\"b\\cnd", "a\"b\\cnd"},
      {R"({"s":"\/\t\u00e9"})", "s", "/tu00e9", "/tu00e9"},
      {"{\"s\":\"caf\xC3\xA9\"}", "s", "caf\xC3\xA9", "caf\xC3\xA9"},
      {R"({"a":{"ip":"inner"},"ip":"outer"})", "ip", "inner", "inner"},
      {R"({"i\u0070":"x"})", "ip", "FB", "FB"},  // escapes in keys are not interpreted
      {R"({"ip":""})", "ip", "", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(jsonGetString(c.json, c.key, "FB"), c.expected) << c.json;
    EXPECT_EQ(jsonStringValue(c.json, c.key).value_or("FB"), c.strict) << c.json;
  }
}

TEST(JsonHasKey, NeedsTheKeysColonAndAnObjectToOpen) {
  EXPECT_TRUE(jsonHasKey(R"({"ip" : 1})", "ip"));
  EXPECT_TRUE(jsonHasKey(R"({"type":"ip","ip":1})", "ip"));  // a later occurrence as a key
  EXPECT_FALSE(jsonHasKey(R"({"type":"ip"})", "ip"));
  EXPECT_FALSE(jsonHasKey(R"({"ipAddress":1})", "ip"));
  EXPECT_TRUE(jsonOpensObject("\xEF\xBB\xBF \n{}"));
  EXPECT_FALSE(jsonOpensObject("<!DOCTYPE html>{"));
  EXPECT_FALSE(jsonOpensObject("  "));
}

TEST(JsonGetString, KeepsNulBytesInsideTheValue) {
  const std::string json = std::string("{\"s\":\"a") + '\0' + "b\"}";
  EXPECT_EQ(jsonGetString(json, "s", "FB"), std::string("a\0b", 3));
}

struct BoolCase {
  const char* json;
  bool fallback;
  bool expected;
};

TEST(JsonGetBool, LooksOnlyAtTheEightBytesAfterTheColon) {
  const BoolCase cases[] = {
      {R"({"x": true})", false, true},
      {R"({"x":true})", false, true},
      {R"({"x":false})", true, false},
      {R"({"x":   false})", true, false},  // three blanks: "false" still fits
      {R"({"x":    false})", true, true},  // four blanks push it out: fallback
      {R"({"x":"true"})", false, true},    // quotes are not looked at
      {R"({"x":"false"})", true, false},
      {R"({"x":1})", false, false},
      {R"({"x":0})", true, true},
      {R"({"x":null})", true, true},
      {R"({"x":tru})", false, false},
      {R"({"x":false,"y":true})", true, false},
      {R"({"y":true})", false, false},       // key absent
      {R"({"x")", true, true},               // no colon
      {R"({"x":false true})", true, false},  // window "false tr"
      {R"({"x":no true})", false, true},     // window "no true}" holds true
  };
  for (const auto& c : cases) {
    EXPECT_EQ(jsonGetBool(c.json, "x", c.fallback), c.expected) << c.json;
  }
}

enum class Expect { value, none, invalid, range };
struct IntCase {
  const char* json;
  Expect expect;
  std::int32_t value;
};

TEST(JsonGetInt, ConvertsTheDigitRunLikeStoi) {
  const IntCase cases[] = {
      {R"({"risk": 66})", Expect::value, 66},
      {R"({"risk":-5})", Expect::value, -5},
      {R"({"risk":66.5})", Expect::value, 66},
      {R"({"risk":12-3})", Expect::value, 12},
      {"{\"risk\":\n\t\r 7}", Expect::value, 7},
      {R"({"risk":2147483647})", Expect::value, 2147483647},
      {R"({"risk":-2147483648})", Expect::value, INT32_MIN},
      {R"({"risk":007})", Expect::value, 7},
      {R"({"risk":"66"})", Expect::none, 0},
      {R"({"risk":})", Expect::none, 0},
      {R"({"risk":+5})", Expect::none, 0},
      {R"({"risk":)", Expect::none, 0},
      {R"({"risk":   )", Expect::none, 0},
      {R"({"other":5})", Expect::none, 0},
      {R"({"risk": -})", Expect::invalid, 0},
      {R"({"risk":--5})", Expect::invalid, 0},
      {R"({"risk":-x})", Expect::invalid, 0},
      {R"({"risk":99999999999})", Expect::range, 0},
      {R"({"risk":2147483648})", Expect::range, 0},
      {R"({"risk":-2147483649})", Expect::range, 0},
      {R"({"risk":99999999999999999999999999})", Expect::range, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.json);
    switch (c.expect) {
      case Expect::value:
        EXPECT_EQ(jsonGetInt(c.json, "risk"), c.value);
        break;
      case Expect::none:
        EXPECT_EQ(jsonGetInt(c.json, "risk"), std::nullopt);
        break;
      case Expect::invalid:
        try {
          jsonGetInt(c.json, "risk");
          ADD_FAILURE() << "no error";
        } catch (const std::invalid_argument& e) {
          EXPECT_STREQ(e.what(), "invalid stoi argument");
        }
        break;
      case Expect::range:
        try {
          jsonGetInt(c.json, "risk");
          ADD_FAILURE() << "no error";
        } catch (const std::out_of_range& e) {
          EXPECT_STREQ(e.what(), "stoi argument out of range");
        }
        break;
    }
  }
}

struct EscapeCase {
  std::string in;
  std::string out;
};

TEST(JsonEscape, EscapesQuotesBackslashesAndEveryControlByte) {
  const EscapeCase cases[] = {
      {"", ""},
      {"plain 1.2.3.4", "plain 1.2.3.4"},
      {"\\\"", "\\\\\\\""},
      {"\r\n\t", "\\r\\n\\t"},
      {"\f\b", "\\u000c\\u0008"},
      {std::string(1, '\0'), "\\u0000"},
      {"\x1f\x01", "\\u001f\\u0001"},
      {"\x7f", "\x7f"},
      {"caf\xC3\xA9 \xE2\x82\xAC", "caf\xC3\xA9 \xE2\x82\xAC"},
      {"a/b", "a/b"},
      {"</script><img src=x onerror=alert(1)>", "</script><img src=x onerror=alert(1)>"},
  };
  for (const auto& c : cases) EXPECT_EQ(jsonEscape(c.in), c.out) << c.in;
}

TEST(JsonEscape, EveryByteValueSurvivesARealParser) {
  std::string all;
  for (int b = 1; b < 0x80; ++b) all += static_cast<char>(b);
  all += '\0';
  // Appended, not "literal" + temporary: g++ 12 at -O3 misreads that as an overlapping copy
  // (-Wrestrict).
  std::string quoted = "\"";
  quoted += jsonEscape(all);
  quoted += '"';
  const auto parsed = nlohmann::json::parse(quoted);
  EXPECT_EQ(parsed.get<std::string>(), all);
}

TEST(JsonEscape, ReadsBackThroughTheReaderExceptShortEscapes) {
  const std::string value = "a\"b\\c\nd\re\tf";
  EXPECT_EQ(jsonGetString("{\"v\":\"" + jsonEscape(value) + "\"}", "v", "FB"), "a\"b\\cndretf");
}

}  // namespace
