// A small UTF-8 decoder: well-formed sequences pass, ill-formed ones become U+FFFD, controls are
// escaped for display.
#include "json/display_text.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

namespace {

constexpr std::string_view REPLACEMENT = "\xEF\xBF\xBD";

// Length of the well-formed sequence at text[i], or 0 with `bad` set to how many bytes make up
// the ill-formed part (its maximal subpart, at least 1).
std::size_t sequenceAt(std::string_view text, std::size_t i, std::size_t& bad,
                       std::uint32_t& codePoint) {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char lead = byte(i);
  bad = 1;
  if (lead < 0x80) {
    codePoint = lead;
    return 1;
  }
  std::size_t length = 0;
  unsigned char low = 0x80;
  unsigned char high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;   // no overlong forms
    if (lead == 0xED) high = 0x9F;  // no surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;   // no overlong forms
    if (lead == 0xF4) high = 0x8F;  // nothing above U+10FFFF
  } else {
    return 0;
  }
  codePoint = lead & (0x7F >> length);
  for (std::size_t k = 1; k < length; ++k) {
    if (i + k >= text.size()) {
      bad = k;
      return 0;
    }
    const unsigned char next = byte(i + k);
    const unsigned char min = k == 1 ? low : 0x80;
    const unsigned char max = k == 1 ? high : 0xBF;
    if (next < min || next > max) {
      bad = k;
      return 0;
    }
    codePoint = (codePoint << 6) | (next & 0x3F);
  }
  return length;
}

template <typename Emit>
void decode(std::string_view text, Emit emit) {
  std::size_t i = 0;
  while (i < text.size()) {
    std::size_t bad = 1;
    std::uint32_t codePoint = 0;
    const std::size_t length = sequenceAt(text, i, bad, codePoint);
    if (length == 0) {
      emit(REPLACEMENT, 0xFFFD);
      i += bad;
    } else {
      emit(text.substr(i, length), codePoint);
      i += length;
    }
  }
}

}  // namespace

std::string validUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  decode(text, [&out](std::string_view bytes, std::uint32_t) { out += bytes; });
  return out;
}

std::string displayText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  decode(text, [&out](std::string_view bytes, std::uint32_t c) {
    char escaped[8];
    if (c < 0x20 || c == 0x7F) {
      std::snprintf(escaped, sizeof escaped, "\\x%02x", static_cast<unsigned>(c));
      out += escaped;
    } else if (c >= 0x80 && c <= 0x9F) {
      std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
      out += escaped;
    } else {
      out += bytes;
    }
  });
  return out;
}

std::string plainWords(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  bool blank = false;
  decode(text, [&](std::string_view bytes, std::uint32_t c) {
    if (c <= 0x20 || c == 0x7F || (c >= 0x80 && c <= 0xA0)) {
      blank = !out.empty();
      return;
    }
    if (blank) out += ' ';
    blank = false;
    out += bytes;
  });
  return out;
}

std::string shortWords(std::string_view text, std::size_t maxBytes) {
  std::string words = plainWords(text);
  if (words.size() <= maxBytes) return words;
  constexpr std::string_view MORE = "...";
  std::size_t cut = maxBytes > MORE.size() ? maxBytes - MORE.size() : 0;
  // Back up to the start of a character: continuation bytes are 10xxxxxx.
  while (cut > 0 && (static_cast<unsigned char>(words[cut]) & 0xC0) == 0x80) --cut;
  // Whole words where that keeps most of the text.
  const std::size_t space = words.rfind(' ', cut);
  if (space != std::string::npos && space > cut / 2) cut = space;
  while (cut > 0 && words[cut - 1] == ' ') --cut;
  words.resize(cut);
  return words + std::string(MORE.substr(0, std::min(MORE.size(), maxBytes)));
}
