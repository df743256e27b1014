// Letter case ignored for ASCII letters only, as the update's names, keys and address schemes
// are compared: no locale, no other script.
#pragma once

#include <algorithm>
#include <string_view>

namespace tavi {

inline char AsciiLower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

inline bool SameIgnoringAsciiCase(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [](char x, char y) { return AsciiLower(x) == AsciiLower(y); });
}

inline bool StartsWithIgnoringAsciiCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && SameIgnoringAsciiCase(text.substr(0, prefix.size()), prefix);
}

}  // namespace tavi
