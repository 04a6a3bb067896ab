#include "json/json_write.h"

namespace {
constexpr char HEX[] = "0123456789abcdef";
}

std::string jsonEscape(const std::string& text) {
  std::string out;
  out.reserve(text.size() + 8);
  for (const char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    switch (c) {
      case '\\':
        out += "\\\\";
        break;
      case '"':
        out += "\\\"";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (c < 0x20) {
          // A raw control byte makes the whole message invalid JSON, and the browser would
          // drop it: the page would wait for an answer that never comes.
          out += "\\u00";
          out += HEX[c >> 4];
          out += HEX[c & 0xF];
        } else {
          out += ch;
        }
    }
  }
  return out;
}
