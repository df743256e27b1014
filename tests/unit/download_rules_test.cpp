#include <gtest/gtest.h>

#include "update/download_result.h"
#include "update/url_split.h"

namespace tavi {
namespace {

void ExpectSplit(std::string_view url, std::string_view host, std::string_view hostName,
                 std::uint16_t port, std::string_view path) {
  const HttpUrl parts = SplitUrl(url);
  EXPECT_EQ(parts.host, host) << url;
  EXPECT_EQ(parts.hostName, hostName) << url;
  EXPECT_EQ(parts.port, port) << url;
  EXPECT_EQ(parts.path, path) << url;
}

TEST(SplitUrl, SchemeInAnyCaseHostAndPath) {
  ExpectSplit("HTTP://Example/a/b.txt", "Example", "Example", 80, "/a/b.txt");
  ExpectSplit("http://example.com/myAPP/Tavi/update.php?x=1", "example.com", "example.com", 80,
              "/myAPP/Tavi/update.php?x=1");
  ExpectSplit("example.com/a", "example.com", "example.com", 80, "/a");
  // Other schemes are not recognised: they end up in the host name, which does not resolve.
  ExpectSplit("https://example.com/a", "https:", "https", 80, "//example.com/a");
}

TEST(SplitUrl, AddressWithoutSlashIsAllHost) {
  ExpectSplit("http://example.com", "example.com", "example.com", 80, "/");
  ExpectSplit("http://127.0.0.1:8080", "127.0.0.1:8080", "127.0.0.1", 8080, "/");
  ExpectSplit("http://", "", "", 80, "/");
  ExpectSplit("", "", "", 80, "/");
  ExpectSplit("http:///a", "", "", 80, "/a");
}

TEST(SplitUrl, PortAfterColonOnlyWhenItIsOne) {
  ExpectSplit("http://name:8080/f.exe", "name:8080", "name", 8080, "/f.exe");
  ExpectSplit("http://name:1/f", "name:1", "name", 1, "/f");
  ExpectSplit("http://name:65535/f", "name:65535", "name", 65535, "/f");
  ExpectSplit("http://name:/f", "name:", "name", 80, "/f");
  for (const char* host :
       {"name:0", "name:65536", "name:123456", "name:8o", "name:-1", "name:+80", "name: 80"}) {
    ExpectSplit(std::string("http://") + host + "/f", host, host, 80, "/f");
  }
}

TEST(ParseContentLength, DigitsOnlyWithinSixtyFourBits) {
  EXPECT_EQ(ParseContentLength("0"), 0);
  EXPECT_EQ(ParseContentLength(" 1025\t"), 1025);
  EXPECT_EQ(ParseContentLength("5368709120"), 5368709120);  // beyond 32 bits
  EXPECT_EQ(ParseContentLength("9223372036854775807"), INT64_MAX);
  for (const char* text : {"", " ", "-1", "+1", "1 2", "12a", "0x10", "9223372036854775808"}) {
    EXPECT_EQ(ParseContentLength(text), std::nullopt) << '"' << text << '"';
  }
}

}  // namespace
}  // namespace tavi
