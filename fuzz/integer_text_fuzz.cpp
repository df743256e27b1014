// Integer text as the profile file and the command line read it (ParseInt32), against a
// reading of the documented format built on std::from_chars, and the round trip of every
// value through the texts that the program and people write.
#include <charconv>
#include <cstring>
#include <optional>
#include <string>

#include "fuzz_support.h"
#include "profiles/integer_text.h"

namespace {

// Leading blanks, a sign, then decimal digits, or hexadecimal digits after "$", "x", "X",
// "0x" or "0X"; decimal within the signed range, hexadecimal a 32-bit pattern.
std::optional<std::int32_t> Expected(std::string_view text) {
  while (!text.empty() && text.front() == ' ')
    text.remove_prefix(1);
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  int base = 10;
  for (const std::string_view prefix : {"0x", "0X", "$", "x", "X"}) {
    if (text.starts_with(prefix) && text.size() > prefix.size()) {
      base = 16;
      text.remove_prefix(prefix.size());
      break;
    }
  }
  if (text.empty()) return std::nullopt;
  std::uint64_t value = 0;  // unsigned: from_chars then takes no second sign
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  const std::uint64_t limit = base == 16 ? 0xFFFFFFFFu : (negative ? 0x80000000u : 0x7FFFFFFFu);
  if (value > limit) return std::nullopt;
  const auto pattern = static_cast<std::uint32_t>(value);
  return static_cast<std::int32_t>(negative ? 0u - pattern : pattern);
}

std::string Hex(std::uint32_t pattern, const char* prefix, bool upper) {
  char digits[16];
  const auto [end, error] = std::to_chars(digits, digits + sizeof digits, pattern, 16);
  std::string text = prefix;
  for (const char* c = digits; c != end; ++c)
    text += upper && *c >= 'a' ? static_cast<char>(*c - 'a' + 'A') : *c;
  return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using tavi::ParseInt32;
  const std::string_view text = tavi::fuzz::AsText(data, size);
  FUZZ_CHECK(ParseInt32(text) == Expected(text));
  FUZZ_CHECK(tavi::StrToIntDef(text, 7) == Expected(text).value_or(7));

  // Any 32-bit value reads back from its decimal text (what the program writes) and from
  // the hexadecimal patterns a person may type.
  if (size >= 4) {
    std::int32_t value = 0;
    std::memcpy(&value, data, sizeof value);
    const auto pattern = static_cast<std::uint32_t>(value);
    FUZZ_CHECK(ParseInt32(std::to_string(value)) == value);
    FUZZ_CHECK(ParseInt32("  " + std::to_string(value)) == value);
    FUZZ_CHECK(ParseInt32(Hex(pattern, "$", true)) == value);
    FUZZ_CHECK(ParseInt32(Hex(pattern, "0x", false)) == value);
    FUZZ_CHECK(ParseInt32(Hex(pattern, "X", true)) == value);
    FUZZ_CHECK(ParseInt32(Hex(0u - pattern, "-$", false)) == value);
    FUZZ_CHECK(!ParseInt32(std::to_string(value) + " "));
  }
  return 0;
}
