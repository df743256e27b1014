#include "netcfg/netsh_script.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../support/example_scripts.h"
#include "netcfg/apply_profile.h"

namespace tavi {
namespace {

using Lines = std::vector<std::string>;

ApplyValues Lan() {
  ApplyValues values;
  values.NIC = "LAN";
  return values;
}

TEST(BuildNetshScript, TheTwoExamplesByteForByte) {
  ApplyValues dhcp = Lan();
  dhcp.UseDhcp = true;
  dhcp.AutoDns = true;
  EXPECT_EQ(NetshScriptText(BuildNetshScript(dhcp)), test::kDhcpScript);

  ApplyValues fixed = Lan();
  fixed.StaticChosen = true;
  fixed.IP = "10.1.2.3";
  fixed.SubNetMask = "255.255.255.0";
  fixed.GateWay = "10.1.2.1";
  fixed.FirstDNS = "10.1.2.53";
  fixed.SecondDNS = "10.1.2.54";
  EXPECT_EQ(NetshScriptText(BuildNetshScript(fixed)), test::kStaticScript);
}

TEST(BuildNetshScript, EmptyValuesKeepTheirLinesAndTheBlocksCombineEitherWay) {
  // Neither radio button: the static lines with whatever the fields hold, here nothing.
  ApplyValues values = Lan();
  Lines lines = BuildNetshScript(values);
  ASSERT_EQ(lines.size(), 9u);  // no "add dns" line
  EXPECT_EQ(lines[4], "set address name = \"LAN\" source = static addr =  mask = ");
  EXPECT_EQ(lines[5], "set address name = \"LAN\" gateway =  gwmetric = 1");
  EXPECT_EQ(lines[6], "set dns name = \"LAN\" source=static addr= register=PRIMARY");
  values.SecondDNS = " ";  // one blank is a value, not an empty text
  EXPECT_EQ(BuildNetshScript(values)[7], "add dns name = \"LAN\" addr= ");

  ApplyValues dhcpManual = Lan();
  dhcpManual.UseDhcp = true;
  dhcpManual.FirstDNS = "1.1.1.1";
  EXPECT_EQ(BuildNetshScript(dhcpManual),
            (Lines{"pushd interface", "reset all", "popd", "pushd interface ip",
                   "set address name=\"LAN\" source=dhcp ",
                   "set dns name = \"LAN\" source=static addr=1.1.1.1 register=PRIMARY",
                   "set wins name = \"LAN\" source=dhcp", "popd"}));

  ApplyValues staticAuto = Lan();
  staticAuto.StaticChosen = true;
  staticAuto.AutoDns = true;
  staticAuto.SecondDNS = "8.8.8.8";  // ignored with automatic DNS
  lines = BuildNetshScript(staticAuto);
  EXPECT_EQ(Lines(lines.begin() + 6, lines.end()),
            (Lines{"set dns name = \"LAN\" source = dhcp", "set wins name = \"LAN\" source = dhcp",
                   "set wins name = \"LAN\" source = static addr = none", "popd"}));
}

TEST(ApplyChecks, ConnectionTrimmedOfBlanksAndControlsThenTheStaticAddress) {
  ApplyValues values;
  for (const char* connection : {"", " \t\r\n", "\x01"}) {
    values.NIC = connection;
    EXPECT_EQ(CheckApplyValues(values), ApplyRefusal::NoConnection) << '"' << connection << '"';
  }
  values.NIC = " 로컬 영역 연결 ";
  EXPECT_EQ(CheckApplyValues(values), ApplyRefusal::None);

  // Only rdoIP asks for the address and the mask; the gateway may stay empty.
  values.StaticChosen = true;
  values.SubNetMask = "255.255.255.0";
  EXPECT_EQ(CheckApplyValues(values), ApplyRefusal::NoAddress);
  values.IP = "10.0.0.2";
  EXPECT_EQ(CheckApplyValues(values), ApplyRefusal::None);
  values.SubNetMask.clear();
  EXPECT_EQ(CheckApplyValues(values), ApplyRefusal::NoAddress);
  values.StaticChosen = false;
  EXPECT_EQ(CheckApplyValues(values), ApplyRefusal::None);
}

}  // namespace
}  // namespace tavi
