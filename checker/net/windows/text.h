#pragma once
// UTF-8 <-> UTF-16 at the Windows edges (host names, paths, window texts, page messages).
#include <string>

// Stops at the first NUL byte; invalid UTF-8 becomes U+FFFD.
std::wstring utf8ToWide(const std::string& text);

// Converts a NUL-terminated UTF-16 text; null gives an empty text.
std::string wideToUtf8(const wchar_t* text);
std::string wideToUtf8(const std::wstring& text);
