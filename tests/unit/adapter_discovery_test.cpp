#include "netcfg/adapter_discovery.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace tavi {
namespace {

using Names = std::vector<std::string>;

TEST(AdapterDiscovery, ReadsOnlyAdapterSubkeysThenKeepsTheListedNamesInRegistryOrder) {
  const std::map<std::string, std::string> registry = {{"{B}", "Local Area Connection"},
                                                       {"{A}", "무선 네트워크 연결"},
                                                       {"{C}", "local area connection"},
                                                       {"{E}", ""},
                                                       {"Descriptions", "x"},
                                                       {"x{F}", "x"}};
  Names read;
  const Names names = AdapterConnectionNames(
      "Descriptions\r\n{B}\r\nx{F}\r\n{D}\r\n{A}\r\n{C}\r\n{E}",
      [&](const std::string& subkey) -> std::optional<std::string> {
        read.push_back(subkey);
        const auto found = registry.find(subkey);
        return found == registry.end() ? std::nullopt : std::optional(found->second);
      });
  EXPECT_EQ(read, (Names{"{B}", "{D}", "{A}", "{C}", "{E}"}));
  EXPECT_EQ(names,
            (Names{"Local Area Connection", "무선 네트워크 연결", "local area connection", ""}));
  EXPECT_TRUE(AnyConnectionName(names));
  EXPECT_FALSE(AnyConnectionName({"", ""}));

  // The listing names the wireless connection first and "Local Area Connection" only as the
  // start of a longer name; case matters, and an empty name never passes.
  const std::string listing =
      "Ethernet adapter 무선 네트워크 연결:\r\n\r\n   Description . . : Intel(R) "
      "PRO/Wireless\r\n\r\n"
      "Ethernet adapter Local Area Connection 2:\r\n";
  EXPECT_EQ(ListedConnectionNames(names, listing),
            (Names{"Local Area Connection", "무선 네트워크 연결"}));
  EXPECT_EQ(ListedConnectionNames(names, ""), Names{});
}

}  // namespace
}  // namespace tavi
