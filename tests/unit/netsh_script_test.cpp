#include "netcfg/netsh_script.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "netcfg/apply_profile.h"

namespace tavi {
namespace {

using Lines = std::vector<std::string>;

ApplyValues Lan() {
  ApplyValues values;
  values.Connection = "LAN";
  return values;
}

TEST(BuildNetshScript, DhcpWithAutomaticDnsIsTheFirstExampleByteForByte) {
  ApplyValues values = Lan();
  values.UseDhcp = true;
  values.AutoDns = true;
  EXPECT_EQ(NetshScriptText(BuildNetshScript(values)),
            "pushd interface\r\n"
            "reset all\r\n"
            "popd\r\n"
            "pushd interface ip\r\n"
            "set address name=\"LAN\" source=dhcp \r\n"
            "set dns name = \"LAN\" source = dhcp\r\n"
            "set wins name = \"LAN\" source = dhcp\r\n"
            "set wins name = \"LAN\" source=dhcp\r\n"
            "popd\r\n");
}

TEST(BuildNetshScript, StaticWithTwoDnsServersIsTheSecondExampleByteForByte) {
  ApplyValues values = Lan();
  values.StaticChosen = true;
  values.IP = "10.1.2.3";
  values.Mask = "255.255.255.0";
  values.Gateway = "10.1.2.1";
  values.Dns1 = "10.1.2.53";
  values.Dns2 = "10.1.2.54";
  EXPECT_EQ(NetshScriptText(BuildNetshScript(values)),
            "pushd interface\r\n"
            "reset all\r\n"
            "popd\r\n"
            "pushd interface ip\r\n"
            "set address name = \"LAN\" source = static addr = 10.1.2.3 mask = 255.255.255.0\r\n"
            "set address name = \"LAN\" gateway = 10.1.2.1 gwmetric = 1\r\n"
            "set dns name = \"LAN\" source=static addr=10.1.2.53 register=PRIMARY\r\n"
            "add dns name = \"LAN\" addr=10.1.2.54\r\n"
            "set wins name = \"LAN\" source = static addr = none\r\n"
            "popd\r\n");
}

TEST(BuildNetshScript, EmptyValuesStillWriteTheirLinesAndOnlyAnEmptyDns2IsLeftOut) {
  // Neither radio button: the static lines with whatever the fields hold, here nothing.
  ApplyValues values = Lan();
  const Lines lines = BuildNetshScript(values);
  EXPECT_EQ(lines, (Lines{"pushd interface", "reset all", "popd", "pushd interface ip",
                          "set address name = \"LAN\" source = static addr =  mask = ",
                          "set address name = \"LAN\" gateway =  gwmetric = 1",
                          "set dns name = \"LAN\" source=static addr= register=PRIMARY",
                          "set wins name = \"LAN\" source = static addr = none", "popd"}));

  // One blank is a value, not an empty text.
  values.Dns2 = " ";
  EXPECT_EQ(BuildNetshScript(values)[7], "add dns name = \"LAN\" addr= ");
}

TEST(BuildNetshScript, AddressAndDnsBlocksCombineEitherWay) {
  ApplyValues dhcpManual = Lan();
  dhcpManual.UseDhcp = true;
  dhcpManual.Dns1 = "1.1.1.1";
  EXPECT_EQ(BuildNetshScript(dhcpManual),
            (Lines{"pushd interface", "reset all", "popd", "pushd interface ip",
                   "set address name=\"LAN\" source=dhcp ",
                   "set dns name = \"LAN\" source=static addr=1.1.1.1 register=PRIMARY",
                   "set wins name = \"LAN\" source=dhcp", "popd"}));

  ApplyValues staticAuto = Lan();
  staticAuto.StaticChosen = true;
  staticAuto.AutoDns = true;
  staticAuto.IP = "10.0.0.2";
  staticAuto.Mask = "255.0.0.0";
  staticAuto.Dns2 = "8.8.8.8";  // ignored with automatic DNS
  EXPECT_EQ(BuildNetshScript(staticAuto),
            (Lines{"pushd interface", "reset all", "popd", "pushd interface ip",
                   "set address name = \"LAN\" source = static addr = 10.0.0.2 mask = 255.0.0.0",
                   "set address name = \"LAN\" gateway =  gwmetric = 1",
                   "set dns name = \"LAN\" source = dhcp", "set wins name = \"LAN\" source = dhcp",
                   "set wins name = \"LAN\" source = static addr = none", "popd"}));
}

TEST(ApplyChecks, ConnectionTrimmedOfBlanksAndControlsThenTheStaticAddress) {
  ApplyValues values;
  for (const char* connection : {"", "   ", "\t \r\n", "\x01"}) {
    values.Connection = connection;
    EXPECT_EQ(CheckApplyValues(values), ApplyRefusal::NoConnection) << '"' << connection << '"';
  }
  values.Connection = " 로컬 영역 연결 ";
  EXPECT_EQ(CheckApplyValues(values), ApplyRefusal::None);

  // Only rdoIP asks for the address and the mask; the gateway may stay empty.
  values.StaticChosen = true;
  EXPECT_EQ(CheckApplyValues(values), ApplyRefusal::NoAddress);
  values.Mask = "255.255.255.0";
  EXPECT_EQ(CheckApplyValues(values), ApplyRefusal::NoAddress);
  values.IP = "10.0.0.2";
  values.Mask.clear();
  EXPECT_EQ(CheckApplyValues(values), ApplyRefusal::NoAddress);
  values.Mask = "255.255.255.0";
  EXPECT_EQ(CheckApplyValues(values), ApplyRefusal::None);
  values.StaticChosen = false;
  values.IP.clear();
  EXPECT_EQ(CheckApplyValues(values), ApplyRefusal::None);
}

}  // namespace
}  // namespace tavi
