#pragma once
#include <string>

// True when the text holds a hosting / VPN / proxy keyword, case-insensitively, anywhere but in
// a JSON key whose value is not the literal true.
bool looksLikeHosting(const std::string& text);

// "proxy":"yes" and friends: the exact key and value, with JSON white space allowed around ':'.
bool hasJsonMarker(const std::string& body, const std::string& quotedKey, const std::string& value);
