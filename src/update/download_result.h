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

// A file is complete when exactly the announced length arrived (0 when none was
// announced); a string when anything arrived at all.
inline bool DownloadSucceeded(bool toFile, std::int64_t announced, std::int64_t received) {
  return toFile ? received == announced : received != 0;
}

// No Internet access at all on this machine.
std::string NoInternetText();

// The server was not reachable; host as written in the address.
std::string ServerUnreachableText(std::string_view host);

}  // namespace tavi
