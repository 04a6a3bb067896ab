#pragma once
// Key-at-a-time readers over raw JSON text. They never build a tree: each call searches the
// text for the quoted key and reads what follows the next colon. The page and the services
// rely on these exact matching rules, loose as they are.
#include <cstdint>
#include <optional>
#include <string>

// The white space the readers skip: the C locale's, so vertical tab and form feed too.
inline bool isJsonSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// The next double-quoted string after the key's colon; a backslash makes the next byte literal.
std::string jsonGetString(const std::string& json, const std::string& key,
                          const std::string& fallback);

// true / false found within the 8 bytes after the key's colon ("true" wins), else the fallback.
bool jsonGetBool(const std::string& json, const std::string& key, bool fallback);

// A run of digits and '-' after the colon (white space skipped), converted like std::stoi.
// Throws std::invalid_argument / std::out_of_range when the run does not convert.
std::optional<std::int32_t> jsonGetInt(const std::string& json, const std::string& key);

// The quoted key directly followed by its colon (white space allowed between), anywhere.
bool jsonHasKey(const std::string& json, const std::string& key);

// The text opens an object: its first byte after white space (and a byte-order mark) is '{'.
bool jsonOpensObject(const std::string& json);

// Stricter than jsonGetString: the first occurrence of the key whose colon is followed (after
// white space) by a string; nothing when no occurrence has one.
std::optional<std::string> jsonStringValue(const std::string& json, const std::string& key);
