// Splits the address of an HTTP download into what the connection and the request need.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tavi {

struct HttpUrl {
  std::string host;      // as written in the address, with a ":port" suffix; shown in messages
  std::string hostName;  // the server to connect to
  std::uint16_t port = 80;
  bool secure = false;  // "https://": TLS, and port 443 unless the address names one
  std::string path;     // always begins with "/"
};

// "http://" or "https://" in any letter case; without either the address is HTTP, and no
// other scheme is recognised. The host
// runs up to the first "/" (an address without one is all host, with the path "/"). A host
// ending in ":<1-65535>" connects to that port; any other suffix stays part of the name,
// which then does not resolve.
HttpUrl SplitUrl(std::string_view url);

// The address a redirect's Location leads to from the address asked for: an absolute http://
// or https:// address as it stands, or one relative to the server ("/p"), to the scheme
// ("//host/p"), to the query ("?q") or to the path's folder ("p"); without its fragment
// ("#..."). None when the redirect is refused: empty, another scheme, a blank or control
// character, or from https:// to http:// (an address asked for over TLS keeps TLS).
std::optional<std::string> RedirectTarget(std::string_view from, std::string_view location);

}  // namespace tavi
