// What the fuzz targets share: a failed check that libFuzzer and the corpus replay both see
// as a crash, and the split of one input into the fields a target needs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

// A broken invariant ends the run like a memory error would, with the condition named.
#define FUZZ_CHECK(condition)                                             \
  do {                                                                    \
    if (!(condition)) ::tavi::fuzz::Fail(#condition, __FILE__, __LINE__); \
  } while (false)

namespace tavi::fuzz {

[[noreturn]] inline void Fail(const char* condition, const char* file, int line) {
  std::fprintf(stderr, "%s:%d: check failed: %s\n", file, line, condition);
  std::abort();
}

inline std::string_view AsText(const std::uint8_t* data, std::size_t size) {
  return size == 0 ? std::string_view()
                   : std::string_view(reinterpret_cast<const char*>(data), size);
}

// The field separator of structured inputs: the ASCII unit separator, which none of the texts
// under test has a use for, so the corpus files stay readable.
inline constexpr char kFieldSeparator = '\x1f';

// The input cut at every separator; at least `count` fields, the missing ones empty.
inline std::vector<std::string> Fields(std::string_view text, std::size_t count) {
  std::vector<std::string> fields;
  for (;;) {
    const std::size_t end = text.find(kFieldSeparator);
    fields.emplace_back(text.substr(0, end));
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  if (fields.size() < count) fields.resize(count);
  return fields;
}

// Byte i of a text as a number, 0 past its end: flags and small choices of a target.
inline unsigned ByteAt(std::string_view text, std::size_t i) {
  return i < text.size() ? static_cast<unsigned char>(text[i]) : 0u;
}

}  // namespace tavi::fuzz
