// Text conversion through code page 65001: MultiByteToWideChar, WideCharToMultiByte.
// Both measure first (length -1: NUL-terminated, terminator counted), then fill.
#include "net/windows/text.h"

#include <windows.h>

std::wstring utf8ToWide(const std::string& text) {
  if (text.empty()) return {};
  const int units = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, nullptr, 0);
  if (units <= 1) return {};
  std::wstring wide(static_cast<std::size_t>(units - 1), L'\0');
  // The string's own terminator slot takes the converted NUL.
  MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, wide.data(), units);
  return wide;
}

std::string wideToUtf8(const wchar_t* text) {
  if (text == nullptr || *text == L'\0') return {};
  const int bytes = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (bytes <= 1) return {};
  std::string narrow(static_cast<std::size_t>(bytes - 1), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, -1, narrow.data(), bytes, nullptr, nullptr);
  return narrow;
}

std::string wideToUtf8(const std::wstring& text) {
  return wideToUtf8(text.c_str());
}
