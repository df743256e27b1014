#include <gtest/gtest.h>

#include "update/download_result.h"
#include "update/url_split.h"

namespace tavi {
namespace {

TEST(SplitUrl, SchemeHostPortAndPath) {
  struct Case {
    const char *url, *host, *hostName;
    std::uint16_t port;
    const char* path;
  };
  for (const Case& c : std::initializer_list<Case>{
           {"HTTP://Example/a/b.txt", "Example", "Example", 80, "/a/b.txt"},
           {"example.com/a?x=1", "example.com", "example.com", 80, "/a?x=1"},
           {"https://example.com/a", "https:", "https", 80, "//example.com/a"},  // not ours
           {"http://example.com", "example.com", "example.com", 80, "/"},  // no slash: all host
           {"http://", "", "", 80, "/"},
           {"http://127.0.0.1:8080", "127.0.0.1:8080", "127.0.0.1", 8080, "/"},
           {"http://name:1/f", "name:1", "name", 1, "/f"},
           {"http://name:65535/f", "name:65535", "name", 65535, "/f"},
           {"http://name:/f", "name:", "name", 80, "/f"},
           // Anything but a port in 1..65535 stays part of the name.
           {"http://name:0/f", "name:0", "name:0", 80, "/f"},
           {"http://name:65536/f", "name:65536", "name:65536", 80, "/f"},
           {"http://name:8o/f", "name:8o", "name:8o", 80, "/f"},
           {"http://name:+80/f", "name:+80", "name:+80", 80, "/f"},
       }) {
    const HttpUrl parts = SplitUrl(c.url);
    EXPECT_EQ(parts.host, c.host) << c.url;
    EXPECT_EQ(parts.hostName, c.hostName) << c.url;
    EXPECT_EQ(parts.port, c.port) << c.url;
    EXPECT_EQ(parts.path, c.path) << c.url;
  }
}

TEST(ParseContentLength, DigitsOnlyWithinSixtyFourBits) {
  EXPECT_EQ(ParseContentLength(" 1025\t"), 1025);
  EXPECT_EQ(ParseContentLength("5368709120"), 5368709120);  // beyond 32 bits
  EXPECT_EQ(ParseContentLength("9223372036854775807"), INT64_MAX);
  for (const char* text : {"", "-1", "+1", "1 2", "12a", "9223372036854775808"}) {
    EXPECT_EQ(ParseContentLength(text), std::nullopt) << '"' << text << '"';
  }
}

}  // namespace
}  // namespace tavi
