// Splits the address of an HTTP download into what the connection and the request need.
#pragma once

#include <cstdint>
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

}  // namespace tavi
