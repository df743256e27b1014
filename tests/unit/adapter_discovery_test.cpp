#include "netcfg/adapter_discovery.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace tavi {
namespace {

using Names = std::vector<std::string>;

TEST(AdapterConnectionNames, ReadsOnlyAdapterSubkeysAndKeepsTheirOrder) {
  const std::map<std::string, std::string> registry = {{"{B}", "Local Area Connection"},
                                                       {"{A}", "무선 네트워크 연결"},
                                                       {"{E}", ""},
                                                       {"Descriptions", "lo"},
                                                       {"x{C}", "lo"}};
  Names read;
  const auto reader = [&](const std::string& subkey) -> std::optional<std::string> {
    read.push_back(subkey);
    const auto found = registry.find(subkey);
    if (found == registry.end()) return std::nullopt;
    return found->second;
  };
  EXPECT_EQ(AdapterConnectionNames("Descriptions\r\n{B}\r\nx{C}\r\n{D}\r\n{A}\r\n{E}", reader),
            (Names{"Local Area Connection", "무선 네트워크 연결", ""}));
  EXPECT_EQ(read, (Names{"{B}", "{D}", "{A}", "{E}"}));

  read.clear();
  EXPECT_EQ(AdapterConnectionNames("", reader), Names{});
  EXPECT_EQ(AdapterConnectionNames("{A}", reader), Names{"무선 네트워크 연결"});
  EXPECT_EQ(read, Names{"{A}"});
}

TEST(ListedConnectionNames, KeepsTheNamesTheListingMentionsInTheirOwnOrder) {
  const std::string listing =
      "Windows IP Configuration\r\n\r\n"
      "Ethernet adapter Local Area Connection 2:\r\n\r\n"
      "   Description . . . . : Intel(R) PRO/1000\r\n\r\n"
      "Ethernet adapter 무선 네트워크 연결:\r\n";
  // "Local Area Connection" is only the start of a listed name, and still passes; the
  // registry's order holds, not the listing's; case matters; an empty name never passes.
  EXPECT_EQ(ListedConnectionNames({"무선 네트워크 연결", "Local Area Connection",
                                   "local area "
                                   "connection",
                                   "", "Local Area Connection 3", "1394 연결"},
                                  listing),
            (Names{"무선 네트워크 연결", "Local Area Connection"}));
  EXPECT_EQ(ListedConnectionNames({"lo", ""}, ""), Names{});

  EXPECT_FALSE(AnyConnectionName({}));
  EXPECT_FALSE(AnyConnectionName({"", ""}));
  EXPECT_TRUE(AnyConnectionName({"", "lo"}));
}

}  // namespace
}  // namespace tavi
