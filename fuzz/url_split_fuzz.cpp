// The address of a download split into host, port and path: nothing of the address is lost
// or invented, the port is one the text names, and splitting the parts again changes nothing.
// A redirect (the input's first line the address, the rest the Location) leads to an http(s)
// address without blanks, controls or fragment, never from TLS to plain HTTP, and resolving
// that address again gives itself.
#include <algorithm>
#include <optional>
#include <string>

#include "fuzz_support.h"
#include "update/url_split.h"

namespace {

bool StartsWithNoCase(std::string_view text, std::string_view scheme) {
  if (text.size() < scheme.size()) return false;
  for (std::size_t i = 0; i < scheme.size(); ++i) {
    const char c = text[i];
    const char lower = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    if (lower != scheme[i]) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view url = tavi::fuzz::AsText(data, size);
  const tavi::HttpUrl parts = tavi::SplitUrl(url);
  const bool secure = StartsWithNoCase(url, "https://");
  const std::string_view rest = StartsWithNoCase(url, "http://") ? url.substr(7)
                                : secure                         ? url.substr(8)
                                                                 : url;
  FUZZ_CHECK(parts.secure == secure);
  const std::uint16_t defaultPort = secure ? 443 : 80;

  // Host and path are the address without its scheme; the path is "/" when there is none.
  FUZZ_CHECK(parts.host.find('/') == std::string::npos);
  FUZZ_CHECK(parts.path.starts_with('/'));
  if (rest.find('/') == std::string_view::npos) {
    FUZZ_CHECK(parts.host == rest && parts.path == "/");
  } else {
    FUZZ_CHECK(parts.host + parts.path == rest);
  }

  // The name is the host, or the host without a ":port" suffix that named this port (an
  // empty suffix is the default port).
  FUZZ_CHECK(parts.port != 0);
  if (parts.hostName == parts.host) {
    FUZZ_CHECK(parts.port == defaultPort);
  } else {
    FUZZ_CHECK(parts.host.starts_with(parts.hostName + ":"));
    const std::string suffix = parts.host.substr(parts.hostName.size() + 1);
    FUZZ_CHECK(suffix.find(':') == std::string::npos);
    if (suffix.empty()) {
      FUZZ_CHECK(parts.port == defaultPort);
    } else {
      FUZZ_CHECK(suffix.size() <= 5 && suffix.find_first_not_of("0123456789") == std::string::npos);
      FUZZ_CHECK(std::stoul(suffix) == parts.port);
    }
  }

  // The parts make the same address again.
  const tavi::HttpUrl again =
      tavi::SplitUrl((secure ? "https://" : "http://") + parts.host + parts.path);
  FUZZ_CHECK(again.host == parts.host && again.hostName == parts.hostName &&
             again.port == parts.port && again.secure == parts.secure && again.path == parts.path);

  const std::size_t cut = url.find('\n');
  if (cut == std::string_view::npos) return 0;
  const std::string_view from = url.substr(0, cut);
  const std::string_view location = url.substr(cut + 1);
  const std::optional<std::string> target = tavi::RedirectTarget(from, location);
  if (!target) return 0;
  const auto plain = [](std::string_view text) {
    return std::none_of(text.begin(), text.end(), [](char c) {
      return static_cast<unsigned char>(c) <= ' ' || c == 0x7f || c == '#';
    });
  };
  FUZZ_CHECK(StartsWithNoCase(*target, "http://") || StartsWithNoCase(*target, "https://"));
  FUZZ_CHECK(!tavi::SplitUrl(from).secure || tavi::SplitUrl(*target).secure);
  const std::string_view wanted = location.substr(0, location.find('#'));
  if (StartsWithNoCase(wanted, "http://") || StartsWithNoCase(wanted, "https://")) {
    FUZZ_CHECK(*target == wanted);
  } else if (wanted.starts_with('/') && !wanted.starts_with("//")) {
    FUZZ_CHECK(tavi::SplitUrl(*target).host == tavi::SplitUrl(from).host);
    FUZZ_CHECK(tavi::SplitUrl(*target).path == wanted);
  }
  if (plain(from)) {
    FUZZ_CHECK(plain(*target));
    FUZZ_CHECK(tavi::RedirectTarget(from, *target) == *target);
  }
  return 0;
}
