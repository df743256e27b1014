// Registry values named by one path string, and the layout of their string data.
// Portable: the registry calls themselves live in registry_values_win32.h.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace tavi {

// 1-based position of the last occurrence of character in text; 0 when there is none.
std::size_t FindLastChar(char character, std::string_view text);

// "SOFTWARE\Microsoft\Windows NT\CurrentVersion\SystemRoot" names the value SystemRoot of
// the key before it: the split is at the last backslash. A path ending in a backslash names
// the key's default value (empty name); a path without a backslash names nothing.
struct ValuePath {
  std::string keyPath;
  std::string valueName;
};
std::optional<ValuePath> SplitValuePath(std::string_view valuePath);

// The text of REG_SZ data: the data without its terminating NUL. Data stored without one
// (the registry does not enforce it) keeps every character.
template <typename Char>
std::basic_string_view<Char> RegStringText(std::basic_string_view<Char> data) {
  if (!data.empty() && data.back() == Char{}) data.remove_suffix(1);
  return data;
}

// The text of REG_MULTI_SZ data: each entry followed by one NUL. Only the NUL that ends the
// list (the second of two at the end, or the only character of an empty list) is dropped,
// so a list stored without it loses nothing.
template <typename Char>
std::basic_string_view<Char> RegMultiStringText(std::basic_string_view<Char> data) {
  const std::size_t size = data.size();
  const bool listEnd = (size == 1 && data[0] == Char{}) ||
                       (size >= 2 && data[size - 1] == Char{} && data[size - 2] == Char{});
  if (listEnd) data.remove_suffix(1);
  return data;
}

// REG_MULTI_SZ data holding text as its single entry: the text, the NUL ending the entry
// and the NUL ending the list.
template <typename Char>
std::basic_string<Char> SingleEntryMultiString(std::basic_string_view<Char> text) {
  std::basic_string<Char> data(text);
  data.append(2, Char{});
  return data;
}

}  // namespace tavi
