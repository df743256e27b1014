#include "netcfg/tcpip_registry.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tavi {
namespace {

using namespace std::string_literals;
using Writes = std::vector<RegWrite>;

const std::string kAdapter = "{8A1B2C3D-0000-4E5F-9A8B-123456789ABC}";

RegWrite Dword(const std::string& path, std::uint32_t number) {
  return {path, RegValueType::Dword, "", number};
}
RegWrite Multi(const std::string& path, const std::string& entry) {
  return {path, RegValueType::MultiString, entry, 0};
}

TEST(AdapterFromBindList, IsTheFirstEntryWithoutItsDevicePrefix) {
  EXPECT_EQ(AdapterFromBindList("\\Device\\Tcpip_" + kAdapter + '\0'), kAdapter);
  EXPECT_EQ(AdapterFromBindList("\\Device\\Tcpip_{1}\0\\Device\\Tcpip_{2}\0\\Device\\Tcpip_{3}\0"s),
            "{1}");
  // The prefix is not checked, only counted, in characters.
  EXPECT_EQ(AdapterFromBindList("\\장치\\Tcpip_ABCD{1}\0"s), "{1}");

  // Nothing to write under: no list, a first entry no longer than the prefix (even when a
  // later entry is longer), or a rest that is no single key name.
  EXPECT_EQ(AdapterFromBindList(""), std::nullopt);
  EXPECT_EQ(AdapterFromBindList("\\Device\\Tcpip_\0"s), std::nullopt);
  EXPECT_EQ(AdapterFromBindList("\\Device\\Tcpip\0\\Device\\Tcpip_{2}\0"s), std::nullopt);
  EXPECT_EQ(AdapterFromBindList("\\Device\\Tcpip_\\Tcpip\0"s), std::nullopt);
  EXPECT_EQ(AdapterFromBindList("\\Device\\Tcpip_{1}\\\0"s), std::nullopt);
}

TEST(ControlSetTcpipWrites, StaticAddressesGoUnderBothKeysAndNameServersUnderTheInterface) {
  const std::string adapterKey =
      "SYSTEM\\ControlSet002\\Services\\" + kAdapter + "\\Parameters\\Tcpip\\";
  const std::string interfaceKey =
      "SYSTEM\\ControlSet002\\Services\\Tcpip\\Parameters\\Interfaces\\" + kAdapter + "\\";
  TcpipSettings settings{
      "192.168.10.25", "255.255.255.0", "192.168.10.1", "192.168.10.53", "", false};
  EXPECT_EQ(ControlSetTcpipWrites("ControlSet002", kAdapter, settings),
            (Writes{Dword(adapterKey + "EnableDHCP", 0),
                    Multi(adapterKey + "IPAddress", "192.168.10.25"),
                    Multi(adapterKey + "SubnetMask", "255.255.255.0"),
                    Multi(adapterKey + "DefaultGateway", "192.168.10.1"),
                    Dword(interfaceKey + "EnableDHCP", 0),
                    Multi(interfaceKey + "IPAddress", "192.168.10.25"),
                    Multi(interfaceKey + "SubnetMask", "255.255.255.0"),
                    Multi(interfaceKey + "DefaultGateway", "192.168.10.1"),
                    {interfaceKey + "NameServer", RegValueType::String, "192.168.10.53", 0}}));

  // Both servers: joined by one comma. An empty gateway stays a one-entry list whose entry
  // is empty; texts go through untouched.
  settings = {" 10.0.0.5", "255.0.0.0", "", "1.1.1.1", "8.8.8.8", false};
  const Writes both = ControlSetTcpipWrites("CurrentControlSet", kAdapter, settings);
  ASSERT_EQ(both.size(), 9u);
  EXPECT_EQ(both[1].text, " 10.0.0.5");
  EXPECT_EQ(both[3], Multi("SYSTEM\\CurrentControlSet\\Services\\" + kAdapter +
                               "\\Parameters\\Tcpip\\DefaultGateway",
                           ""));
  EXPECT_EQ(both[7].text, "");
  EXPECT_EQ(both[8].text, "1.1.1.1,8.8.8.8");
  // A second server without a first keeps the empty first place.
  settings.Dns1.clear();
  EXPECT_EQ(ControlSetTcpipWrites("CurrentControlSet", kAdapter, settings)[8].text, ",8.8.8.8");
}

TEST(ControlSetTcpipWrites, DhcpOnlyTurnsItOnUnderTheAdapterKey) {
  const TcpipSettings settings{"10.0.0.5", "255.0.0.0", "10.0.0.1", "1.1.1.1", "8.8.8.8", true};
  Writes all;
  for (const std::string_view controlSet : kTcpipControlSets) {
    for (RegWrite& write : ControlSetTcpipWrites(controlSet, kAdapter, settings))
      all.push_back(std::move(write));
  }
  EXPECT_EQ(
      all,
      (Writes{
          Dword("SYSTEM\\ControlSet001\\Services\\" + kAdapter + "\\Parameters\\Tcpip\\EnableDHCP",
                1),
          Dword("SYSTEM\\ControlSet002\\Services\\" + kAdapter + "\\Parameters\\Tcpip\\EnableDHCP",
                1),
          Dword("SYSTEM\\CurrentControlSet\\Services\\" + kAdapter +
                    "\\Parameters\\Tcpip\\EnableDHCP",
                1)}));
}

}  // namespace
}  // namespace tavi
