#include "update/download_result.h"

#include <algorithm>
#include <limits>

namespace tavi {

std::optional<std::int64_t> ParseContentLength(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  while (!text.empty() && blank(text.front()))
    text.remove_prefix(1);
  while (!text.empty() && blank(text.back()))
    text.remove_suffix(1);
  if (text.empty()) return std::nullopt;

  constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
  std::int64_t value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    const int digit = c - '0';
    if (value > (kMax - digit) / 10) return std::nullopt;
    value = value * 10 + digit;
  }
  return value;
}

std::string NoInternetText() {
  return "인터넷에 연결되지 않았습니다.";
}

std::string ServerUnreachableText(std::string_view host) {
  return "서버[" + std::string(host) + "]에 연결할 수 없습니다.";
}

std::string CertificateRefusedText(std::string_view host) {
  return "서버[" + std::string(host) + "]의 인증서를 확인할 수 없어 연결하지 않았습니다.";
}

std::string ConnectionDroppedText(std::string_view host) {
  return "서버[" + std::string(host) + "]와의 연결이 다운로드 도중에 끊어졌습니다.";
}

std::string TimedOutText(std::string_view host, std::uint32_t limitMs) {
  const std::uint64_t seconds = (std::uint64_t{limitMs} + 999) / 1000;
  return "서버[" + std::string(host) + "]에서 " + std::to_string(seconds) +
         "초 안에 다 받지 못해 다운로드를 멈췄습니다.";
}

std::string TooLargeText(std::string_view host, std::int64_t limit) {
  return "서버[" + std::string(host) + "]의 응답이 " + std::to_string(limit) +
         "바이트를 넘어 다운로드를 멈췄습니다.";
}

std::string TooManyRedirectsText(std::string_view host, int redirects) {
  return "서버[" + std::string(host) + "]의 응답이 다른 주소로 " + std::to_string(redirects) +
         "번 넘게 이어져 다운로드를 멈췄습니다.";
}

std::string RedirectRefusedText(std::string_view host, std::string_view location) {
  return "서버[" + std::string(host) +
         "]의 응답이 받을 수 없는 주소로 이어져 다운로드하지 않았습니다.\r\n\r\n" +
         std::string(location);
}

std::uint32_t DownloadLimits::FileMs(std::int64_t size) const {
  constexpr std::int64_t kMost = std::numeric_limits<std::uint32_t>::max();
  const std::int64_t rate = std::max<std::int64_t>(fileBytesPerSecond, 1);
  const std::int64_t seconds = std::max<std::int64_t>(size, 0) / rate + 1;
  return static_cast<std::uint32_t>(
      std::min(kMost, fileStartMs + std::min(seconds, kMost / 1000) * 1000));
}

}  // namespace tavi
