#include "update/signed_description.h"

#include "profiles/integer_text.h"

namespace tavi {

std::optional<std::string> HexBytes(std::string_view hex) {
  if (hex.empty() || hex.size() % 2 != 0) return std::nullopt;
  std::string bytes;
  bytes.reserve(hex.size() / 2);
  for (size_t i = 0; i < hex.size(); i += 2) {
    const int high = HexDigit(hex[i]);
    const int low = HexDigit(hex[i + 1]);
    if (high < 0 || low < 0) return std::nullopt;
    bytes.push_back(static_cast<char>(high * 16 + low));
  }
  return bytes;
}

std::optional<SignedDescription> SplitSignedDescription(std::string_view text) {
  const std::string_view prefix = kSignaturePrefix;
  const size_t end = text.find('\n');
  if (!text.starts_with(prefix) || end == std::string_view::npos) return std::nullopt;
  std::string_view hex = text.substr(prefix.size(), end - prefix.size());
  if (hex.ends_with('\r')) hex.remove_suffix(1);
  std::optional<std::string> signature = HexBytes(hex);
  if (!signature) return std::nullopt;
  return SignedDescription{std::move(*signature), text.substr(end + 1)};
}

}  // namespace tavi
