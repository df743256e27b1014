// The signature of an update description. It travels in the description's first line, which
// INI readers (the private-profile functions, and older versions of this program) skip as a
// comment before the first section, and it covers every byte after that line as sent:
//
//   ;signature=<RSA PKCS #1 v1.5 signature over SHA-256, most significant byte first, in hex>
//   [info]
//   ...
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tavi {

inline constexpr char kSignaturePrefix[] = ";signature=";

struct SignedDescription {
  std::string signature;        // the signature's bytes
  std::string_view signedText;  // everything after the signature line
};

// The signature line (ended by LF or CR LF) and what it covers; none when the text does not
// begin with a signature line or its signature is not an even number of hex digits.
std::optional<SignedDescription> SplitSignedDescription(std::string_view text);

// The bytes that an even number of hex digits (in either letter case) spell; none for anything
// else, the empty text included.
std::optional<std::string> HexBytes(std::string_view hex);

}  // namespace tavi
