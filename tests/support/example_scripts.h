// The two example netsh scripts for the connection "LAN", shared by the native and Wine suites:
// DHCP with automatic DNS, and 10.1.2.3/255.255.255.0 via 10.1.2.1 with DNS 10.1.2.53 and
// 10.1.2.54.
#pragma once

namespace tavi::test {

inline constexpr char kDhcpScript[] =
    "pushd interface\r\nreset all\r\npopd\r\npushd interface ip\r\n"
    "set address name=\"LAN\" source=dhcp \r\n"
    "set dns name = \"LAN\" source = dhcp\r\nset wins name = \"LAN\" source = dhcp\r\n"
    "set wins name = \"LAN\" source=dhcp\r\npopd\r\n";

inline constexpr char kStaticScript[] =
    "pushd interface\r\nreset all\r\npopd\r\npushd interface ip\r\n"
    "set address name = \"LAN\" source = static addr = 10.1.2.3 mask = 255.255.255.0\r\n"
    "set address name = \"LAN\" gateway = 10.1.2.1 gwmetric = 1\r\n"
    "set dns name = \"LAN\" source=static addr=10.1.2.53 register=PRIMARY\r\n"
    "add dns name = \"LAN\" addr=10.1.2.54\r\n"
    "set wins name = \"LAN\" source = static addr = none\r\npopd\r\n";

}  // namespace tavi::test
