#include "update/download_result.h"

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

}  // namespace tavi
