// The portable rules of netcfg/: registry value paths and texts, the netsh script and the
// checks before an apply, the read-back and the TCP/IP registry plan.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

#include "../support/example_scripts.h"
#include "netcfg/apply_profile.h"
#include "netcfg/console_command.h"
#include "netcfg/netsh_script.h"
#include "netcfg/read_back.h"
#include "netcfg/tcpip_registry.h"
#include "netcfg/value_path.h"

namespace tavi {
namespace {

using namespace std::string_literals;
using namespace std::string_view_literals;

TEST(RegMultiStringText, KeepsOneNulAfterEveryEntry) {
  EXPECT_EQ(RegMultiStringText("a\0b\0\0"sv), "a\0b\0"sv);
  EXPECT_EQ(RegMultiStringText("a\0b\0"sv), "a\0b\0"sv);  // stored without the list's end
  EXPECT_EQ(RegMultiStringText("a\0b"sv), "a\0b"sv);
  EXPECT_EQ(RegMultiStringText("\0"sv), ""sv);      // the empty list
  EXPECT_EQ(RegMultiStringText("\0\0"sv), "\0"sv);  // one empty entry
}

TEST(ConsoleCommand, DriveRootOfTheWindowsFolder) {
  EXPECT_EQ(DriveRootOf("d:\\winnt"), "d:\\");
  EXPECT_EQ(DriveRootOf("E:"), "E:\\");
  EXPECT_EQ(DriveRootOf("\\\\server\\share\\windows"), "");
  EXPECT_EQ(DriveRootOf("1:\\x"), "");
}

using Lines = std::vector<std::string>;

ApplyValues Lan() {
  ApplyValues values;
  values.NIC = "LAN";
  return values;
}

// The static example: 10.1.2.3/24 via 10.1.2.1, DNS 10.1.2.53 then 10.1.2.54.
ApplyValues Office() {
  ApplyValues values = Lan();
  values.StaticChosen = true;
  values.IP = "10.1.2.3";
  values.SubNetMask = "255.255.255.0";
  values.GateWay = "10.1.2.1";
  values.FirstDNS = "10.1.2.53";
  values.SecondDNS = "10.1.2.54";
  return values;
}

TEST(BuildNetshScript, TheTwoExamplesByteForByte) {
  ApplyValues dhcp = Lan();
  dhcp.UseDhcp = true;
  dhcp.AutoDns = true;
  EXPECT_EQ(NetshScriptText(BuildNetshScript(dhcp)), test::kDhcpScript);

  EXPECT_EQ(NetshScriptText(BuildNetshScript(Office())), test::kStaticScript);
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

TEST(ApplyChecks, NothingThatWouldEndTheNameTheLineOrTheEntryReachesTheScript) {
  // A line break would start a netsh command of its own, a quote end the connection's name,
  // a NUL split a registry entry; any field, whichever way the radio buttons stand.
  for (const std::string& bad :
       {"\r\nset address name=\"WAN\" source=dhcp"s, "a\"b"s, "1\t"s, "\0"s}) {
    for (std::string ApplyValues::*field :
         {&ApplyValues::NIC, &ApplyValues::IP, &ApplyValues::SubNetMask, &ApplyValues::GateWay,
          &ApplyValues::FirstDNS, &ApplyValues::SecondDNS}) {
      ApplyValues values = Lan();
      values.UseDhcp = values.AutoDns = true;
      values.*field += bad;
      EXPECT_EQ(CheckApplyValues(values), ApplyRefusal::UnsafeText) << bad;
    }
  }
  ApplyValues values = Lan();
  values.Place = "사무실 \"2층\"";  // only shown in the completion box
  values.IP = "10.0.0.2 ";          // blanks are netsh's to judge, as before
  EXPECT_EQ(CheckApplyValues(values), ApplyRefusal::None);
}

Ipv4 At(std::string_view text) {
  return ParseIpv4(text).value();
}

TEST(ReadBack, AddressTextsAreDottedDecimalAndMasksComeFromPrefixLengths) {
  EXPECT_EQ(ParseIpv4(" 010.1.2.255\t"), 0x0A0102FFu);  // blanks around, leading zero decimal
  for (const char* bad : {"", "10.1.2", "10.1.2.3.4", "10.1.2.256", "10..2.3", "1 0.1.2.3",
                          "10.1.2.3x", "0010.1.2.3", "+1.1.2.3"})
    EXPECT_EQ(ParseIpv4(bad), std::nullopt) << bad;
  EXPECT_EQ(Ipv4Text(0xC0A80001u), "192.168.0.1");
  for (const auto& [length, mask] : {std::pair{0u, 0u}, std::pair{20u, 0xFFFFF000u},
                                     std::pair{32u, 0xFFFFFFFFu}, std::pair{33u, 0xFFFFFFFFu}})
    EXPECT_EQ(PrefixMask(length), mask) << length;
}

LiveConnection Live(bool dhcp, std::vector<LiveAddress> addresses, std::vector<Ipv4> gateways,
                    std::vector<Ipv4> dns) {
  return {LiveConnection::Status::Found, dhcp, std::move(addresses), std::move(gateways),
          std::move(dns)};
}

LiveConnection NotFound() {
  LiveConnection connection;
  connection.status = LiveConnection::Status::NotFound;
  return connection;
}

// The labels of the values that differ, joined by "|"; empty when everything matches.
std::string Differing(const ApplyValues& asked, const LiveConnection& found) {
  const ReadBack readBack = CompareWithAsked(asked, found);
  std::string labels;
  for (const ReadBackItem& item : readBack.items) {
    if (!item.same) labels += (labels.empty() ? "" : "|") + item.label;
  }
  EXPECT_EQ(readBack.matches, labels.empty());
  return labels;
}

TEST(ReadBack, WhatCountsAsTheConnectionShowingWhatWasAsked) {
  const LiveAddress office{At("10.1.2.3"), At("255.255.255.0"), false};
  const std::vector<Ipv4> gateway = {At("10.1.2.1")};
  const std::vector<Ipv4> dns = {At("10.1.2.53"), At("10.1.2.54")};
  ApplyValues typed = Office();
  typed.IP = "010.001.002.003 ";
  ApplyValues noGateway = Office();
  noGateway.GateWay = " ";
  ApplyValues noAddress = Office();
  noAddress.SecondDNS = "10.1.2";  // never found
  ApplyValues dhcp = Lan();
  dhcp.UseDhcp = dhcp.AutoDns = true;
  const LiveAddress lease{At("192.168.0.7"), At("255.255.255.0"), true};
  struct Case {
    const char* what;
    ApplyValues asked;
    LiveConnection found;
    std::string differing;
  };
  for (const Case& c : {
           Case{"static as asked", Office(), Live(false, {office}, gateway, dns), ""},
           Case{"an address the system added beside it", Office(),
                Live(false, {{At("169.254.7.7"), At("255.255.0.0"), false}, office}, gateway, dns),
                ""},
           Case{"asked as typed", typed, Live(false, {office}, gateway, dns), ""},
           Case{"a different mask", Office(),
                Live(false, {{office.address, At("255.255.0.0"), false}}, gateway, dns), "IP 주소"},
           Case{"missing gateway", Office(), Live(false, {office}, {}, dns), "기본 게이트웨이"},
           Case{"a gateway nobody asked for", noGateway, Live(false, {office}, gateway, dns),
                "기본 게이트웨이"},
           Case{"DNS order", Office(), Live(false, {office}, gateway, {dns[1], dns[0]}),
                "DNS 서버"},
           Case{"a text that is no address", noAddress, Live(false, {office}, gateway, dns),
                "DNS 서버"},
           Case{"still DHCP", Office(), Live(true, {office}, gateway, dns), "IP 설정"},
           Case{"DHCP asked, static found", dhcp, Live(false, {office}, gateway, dns),
                "IP 설정|IP 주소"},
           Case{"DHCP on, the old static address until the lease comes", dhcp,
                Live(true, {office}, {}, {}), "IP 주소"},
           Case{"DHCP with a lease, any DNS", dhcp, Live(true, {office, lease}, {}, dns), ""},
           Case{"not found", dhcp, NotFound(), "IP 설정|IP 주소|DNS 서버"},
       }) {
    EXPECT_EQ(Differing(c.asked, c.found), c.differing) << c.what;
  }
}

TEST(ReadBack, TheFailureBoxNamesEachValueAskedAndFoundAndNetshsOwnLines) {
  const LiveConnection found =
      Live(true, {{At("10.1.2.9"), At("255.255.0.0"), true}}, {}, {At("10.1.2.53")});
  const std::vector<std::string> netsh = NetshMessageLines(
      "Ok.\r\n\r\n  지정한 이름이 없습니다. \r\nOK.\r\n지정한 이름이 없습니다.\r\n확인.");
  EXPECT_EQ(netsh, Lines{"지정한 이름이 없습니다."});
  EXPECT_EQ(ApplyFailureText("LAN", found.status, CompareWithAsked(Office(), found), "", netsh),
            "변경 실패\r\r"
            "연결 \"LAN\"의 설정이 요청한 값과 다릅니다.\r\r"
            "IP 설정: 요청 수동, 현재 자동 (DHCP) (다름)\r"
            "IP 주소: 요청 10.1.2.3 / 255.255.255.0, 현재 10.1.2.9 / 255.255.0.0 (다름)\r"
            "기본 게이트웨이: 요청 10.1.2.1, 현재 없음 (다름)\r"
            "DNS 서버: 요청 10.1.2.53, 10.1.2.54, 현재 10.1.2.53 (다름)\r"
            "\rnetsh의 메시지:\r"
            "지정한 이름이 없습니다.");
  // Not there: only what was asked, after why; a command that did not run is named first.
  const LiveConnection missing = NotFound();
  EXPECT_EQ(ApplyFailureText("무선", missing.status, CompareWithAsked(Lan(), missing),
                             kNetshNotStartedText, {}),
            "변경 실패\r\rnetsh를 실행하지 못했습니다.\r연결 \"무선\"을(를) 찾을 수 없습니다.\r\r"
            "IP 설정: 요청 수동\rIP 주소: 요청  / \r기본 게이트웨이: 요청 없음\r"
            "DNS 서버: 요청 없음");
  EXPECT_EQ(SettleStatusText(true, std::chrono::milliseconds(19001)),
            "DHCP 주소 기다리는 중... 20초");
}

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

}  // namespace
}  // namespace tavi
