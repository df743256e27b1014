#include "netcfg/tcpip_registry.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tavi {
namespace {

using namespace std::string_literals;

TEST(TcpipRegistry, TheAdapterIsTheFirstBoundEntryWithoutItsDevicePrefix) {
  EXPECT_EQ(AdapterFromBindList("\\Device\\Tcpip_{1}\0\\Device\\Tcpip_{2}\0"s), "{1}");
  EXPECT_EQ(AdapterFromBindList("\\장치\\Tcpip_ABCD{1}\0"s), "{1}");  // characters, not bytes
  // Nothing to write under: no list, a first entry no longer than the prefix (a longer
  // second one notwithstanding), or a rest that is no single key name.
  for (const std::string& bind :
       {""s, "\\Device\\Tcpip_\0"s, "\\Device\\Tcpip\0\\Device\\Tcpip_{2}\0"s,
        "\\Device\\Tcpip_\\Tcpip\0"s, "\\Device\\Tcpip_{1}\\\0"s}) {
    EXPECT_EQ(AdapterFromBindList(bind), std::nullopt) << bind;
  }
}

TEST(TcpipRegistry, StaticValuesGoUnderBothKeysAndDhcpOnlyTurnsItOn) {
  const std::string adapter = "SYSTEM\\ControlSet002\\Services\\{1}\\Parameters\\Tcpip\\";
  const std::string interface =
      "SYSTEM\\ControlSet002\\Services\\Tcpip\\Parameters\\Interfaces\\{1}\\";
  std::vector<RegWrite> expected;
  for (const std::string& key : {adapter, interface}) {
    expected.push_back({key + "EnableDHCP", RegValueType::Dword, "", 0});
    expected.push_back({key + "IPAddress", RegValueType::MultiString, "10.0.0.5", 0});
    expected.push_back({key + "SubnetMask", RegValueType::MultiString, "255.0.0.0", 0});
    expected.push_back({key + "DefaultGateway", RegValueType::MultiString, "10.0.0.1", 0});
  }
  expected.push_back({interface + "NameServer", RegValueType::String, "1.1.1.1", 0});
  TcpipSettings settings{"10.0.0.5", "255.0.0.0", "10.0.0.1", "1.1.1.1", "", false};
  EXPECT_EQ(ControlSetTcpipWrites("ControlSet002", "{1}", settings), expected);

  // Both servers joined by one comma; an empty gateway stays a list with one empty entry.
  settings.SecondDNS = "8.8.8.8";
  settings.GateWay.clear();
  const std::vector<RegWrite> both = ControlSetTcpipWrites("ControlSet002", "{1}", settings);
  EXPECT_EQ(both[8].text, "1.1.1.1,8.8.8.8");
  EXPECT_EQ(both[3], (RegWrite{adapter + "DefaultGateway", RegValueType::MultiString, "", 0}));

  settings.UseDhcp = true;
  EXPECT_EQ(ControlSetTcpipWrites("ControlSet002", "{1}", settings),
            (std::vector<RegWrite>{{adapter + "EnableDHCP", RegValueType::Dword, "", 1}}));
}

}  // namespace
}  // namespace tavi
