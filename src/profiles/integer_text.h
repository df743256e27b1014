// Text to signed 32-bit integer, as the INI file and the command line read numbers.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace tavi {

// Leading blanks, an optional sign, then decimal digits or hexadecimal digits after
// "$", "x", "X", "0x" or "0X". Decimal must fit the signed 32-bit range; hexadecimal
// may use all 32 bits and is read as a bit pattern ("$FFFFFFFF" is -1). Anything else,
// trailing characters included, is not a number.
std::optional<std::int32_t> ParseInt32(std::string_view text);

// The value of a hexadecimal digit in either letter case; -1 for any other character.
int HexDigit(char c);

inline std::int32_t StrToIntDef(std::string_view text, std::int32_t fallback) {
  return ParseInt32(text).value_or(fallback);
}

}  // namespace tavi
