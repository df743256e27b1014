// The signature line of an update description and hex values: a signature is taken only from
// a first line that is exactly the prefix and an even number of hex digits, it covers exactly
// the bytes after that line, and hex texts decode as an independent reading does and back.
#include <cstdio>
#include <string>

#include "fuzz_support.h"
#include "update/signed_description.h"

namespace {

int Digit(char c) {
  const std::string digits = "0123456789abcdef";
  const char lower = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
  const std::size_t at = digits.find(lower);
  return at == std::string::npos ? -1 : static_cast<int>(at);
}

bool IsHex(std::string_view text) {
  if (text.empty() || text.size() % 2) return false;
  for (const char c : text)
    if (Digit(c) < 0) return false;
  return true;
}

std::string Hex(std::string_view bytes) {
  std::string hex;
  char pair[3];
  for (const char c : bytes) {
    std::snprintf(pair, sizeof pair, "%02x", static_cast<unsigned char>(c));
    hex += pair;
  }
  return hex;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text = tavi::fuzz::AsText(data, size);

  const std::optional<std::string> bytes = tavi::HexBytes(text);
  FUZZ_CHECK(bytes.has_value() == IsHex(text));
  if (bytes) {
    FUZZ_CHECK(bytes->size() * 2 == text.size());
    std::string lower(text);
    for (char& c : lower)
      if (c >= 'A' && c <= 'F') c = static_cast<char>(c - 'A' + 'a');
    FUZZ_CHECK(Hex(*bytes) == lower);
  }

  const std::string_view prefix = tavi::kSignaturePrefix;
  const std::size_t end = text.find('\n');
  std::string_view hex = end == std::string_view::npos || !text.starts_with(prefix)
                             ? std::string_view()
                             : text.substr(prefix.size(), end - prefix.size());
  if (hex.ends_with('\r')) hex.remove_suffix(1);
  const auto split = tavi::SplitSignedDescription(text);
  FUZZ_CHECK(split.has_value() == IsHex(hex));
  if (split) {
    FUZZ_CHECK(Hex(split->signature).size() == hex.size());
    FUZZ_CHECK(tavi::HexBytes(hex) == split->signature);
    FUZZ_CHECK(split->signedText == text.substr(end + 1));
    // Signing the text again gives the same split.
    const std::string again =
        std::string(prefix) + Hex(split->signature) + "\r\n" + std::string(split->signedText);
    const auto resplit = tavi::SplitSignedDescription(again);
    FUZZ_CHECK(resplit && resplit->signature == split->signature &&
               resplit->signedText == split->signedText);
  }
  return 0;
}
