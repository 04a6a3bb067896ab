#pragma once
// Network text on its way to a person or to a JSON reader. Answers from services are bytes, not
// text: they may hold terminal control sequences or break UTF-8.
#include <string>
#include <string_view>

// Valid UTF-8: each ill-formed sequence (its longest valid-looking start, as Unicode recommends)
// becomes U+FFFD; everything else is kept byte for byte.
std::string validUtf8(std::string_view text);

// For a terminal: validUtf8, then every control character shown escaped, so that no answer can
// move the cursor, retitle the window or ring the bell. C0 and DEL become \xHH (\x1b), C1
// (U+0080-U+009F) becomes \u0080..\u009f.
std::string displayText(std::string_view text);

// For a one-line reason: validUtf8, then every run of control characters and white space becomes
// one blank, with none at either end.
std::string plainWords(std::string_view text);

// plainWords cut to at most maxBytes, on a character boundary, with "..." where it was cut.
std::string shortWords(std::string_view text, std::size_t maxBytes);
