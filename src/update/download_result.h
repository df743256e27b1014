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

// The connection ended before the whole body had arrived.
std::string ConnectionDroppedText(std::string_view host);

// The transfer had not ended within its time limit (shown in whole seconds, rounded up).
std::string TimedOutText(std::string_view host, std::uint32_t limitMs);

// The body was longer than the most that was asked for.
std::string TooLargeText(std::string_view host, std::int64_t limit);

// More redirects than a download follows (a loop, most likely).
std::string TooManyRedirectsText(std::string_view host, int redirects);

// A redirect to an address that is not taken (see RedirectTarget).
std::string RedirectRefusedText(std::string_view host, std::string_view location);

// How much a download may take. Every transfer has to end within a time, so that a server that
// stalls, drips or never stops cannot hold an update (and its progress dialog, which has no
// cancel button) for ever; and within a size, so that it cannot fill the memory or the disk.
struct DownloadLimits {
  // A description is a few kilobytes of text: a thousand times that is still one, and any line
  // that works brings it within half a minute.
  std::int64_t descriptionSize = 1024 * 1024;
  std::uint32_t descriptionMs = 30'000;
  // A file may have exactly its described size. It gets half a minute to start and then as long
  // as a poor line (4 KiB a second: slow dial-up, or an old mobile connection) needs for it.
  std::uint32_t fileStartMs = 30'000;
  std::int64_t fileBytesPerSecond = 4096;

  // The time limit for a file of that size, at most about 49 days (the limit's range).
  std::uint32_t FileMs(std::int64_t size) const;
};

}  // namespace tavi
