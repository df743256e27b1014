// The rules by which a download ends: the announced length, success, and the error texts.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tavi {

// The value of a Content-Length header: decimal digits, blanks around them allowed.
// Anything else, or a value beyond 64 bits, is no length.
std::optional<std::int64_t> ParseContentLength(std::string_view text);

// A body is whole when exactly the announced length arrived, no more and no less. Without an
// announced length a file must be empty (a cut-off body cannot be told from a whole one) and a
// string must not be; a string is never empty.
inline bool DownloadSucceeded(bool toFile, std::optional<std::int64_t> announced,
                              std::int64_t received) {
  if (!toFile && received == 0) return false;
  return received == announced.value_or(0) || (!toFile && !announced);
}

// No Internet access at all on this machine.
std::string NoInternetText();

// The server was not reachable; host as written in the address.
std::string ServerUnreachableText(std::string_view host);

// The server's certificate was refused (not trusted, expired, for another name, revoked).
std::string CertificateRefusedText(std::string_view host);

}  // namespace tavi
