#include "update/url_split.h"

#include <algorithm>

#include "update/ascii_case.h"

namespace tavi {
namespace {

// "1" to "65535" without sign or blanks; 0 for anything else.
std::uint16_t ParsePort(std::string_view digits) {
  if (digits.empty() || digits.size() > 5) return 0;
  unsigned value = 0;
  for (const char c : digits) {
    if (c < '0' || c > '9') return 0;
    value = value * 10 + static_cast<unsigned>(c - '0');
  }
  return value <= 65535 ? static_cast<std::uint16_t>(value) : 0;
}

bool IsHttpAddress(std::string_view text) {
  return StartsWithIgnoringAsciiCase(text, "http://") ||
         StartsWithIgnoringAsciiCase(text, "https://");
}

}  // namespace

HttpUrl SplitUrl(std::string_view url) {
  HttpUrl parts;
  if (StartsWithIgnoringAsciiCase(url, "http://")) {
    url.remove_prefix(7);
  } else if (StartsWithIgnoringAsciiCase(url, "https://")) {
    url.remove_prefix(8);
    parts.secure = true;
    parts.port = 443;
  }

  const size_t slash = url.find('/');
  parts.host = url.substr(0, slash);
  parts.path =
      slash == std::string_view::npos ? std::string(1, '/') : std::string(url.substr(slash));

  parts.hostName = parts.host;
  const size_t colon = parts.host.rfind(':');
  if (colon != std::string::npos) {
    const std::string_view suffix = std::string_view(parts.host).substr(colon + 1);
    if (suffix.empty()) {
      parts.hostName.resize(colon);  // "name:" is the scheme's port, as in a browser
    } else if (const std::uint16_t port = ParsePort(suffix); port != 0) {
      parts.hostName.resize(colon);
      parts.port = port;
    }
  }
  return parts;
}

std::optional<std::string> RedirectTarget(std::string_view from, std::string_view location) {
  location = location.substr(0, location.find('#'));
  if (location.empty()) return std::nullopt;
  if (std::any_of(location.begin(), location.end(),
                  [](char c) { return static_cast<unsigned char>(c) <= ' ' || c == 0x7f; })) {
    return std::nullopt;
  }
  const HttpUrl base = SplitUrl(from);
  const std::string scheme = base.secure ? "https:" : "http:";
  std::string target;
  if (IsHttpAddress(location)) {
    target = location;
  } else if (location.starts_with("//")) {
    target = scheme + std::string(location);
  } else if (location.find(':') < location.find_first_of("/?")) {
    return std::nullopt;  // another scheme: "ftp://...", "file:...", "javascript:..."
  } else {
    std::string path = base.path.substr(0, base.path.find('?'));
    if (location.front() == '/') {
      path = location;
    } else if (location.front() == '?') {
      path += location;
    } else {
      path = path.substr(0, path.rfind('/') + 1) + std::string(location);
    }
    target = scheme + "//" + base.host + path;
  }
  if (base.secure && !SplitUrl(target).secure) return std::nullopt;
  return target;
}

}  // namespace tavi
