#pragma once
#include <string>

// Escapes a value for use between double quotes in a JSON text. UTF-8 passes through.
std::string jsonEscape(const std::string& text);
