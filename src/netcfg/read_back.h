// What an apply finds when it reads the connection back, and whether that is what it asked
// for. Portable: connection_reader_win32.h reads the live values through the IP Helper API.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "netcfg/netsh_script.h"

namespace tavi {

// IPv4 addresses as numbers, the first dotted part in the high byte (10.1.2.3 is 0x0A010203).
using Ipv4 = std::uint32_t;

// Dotted decimal: four parts of one to three digits, each at most 255, blanks around the whole
// allowed (netsh splits its arguments at blanks). A leading zero is decimal, not octal.
std::optional<Ipv4> ParseIpv4(std::string_view text);
std::string Ipv4Text(Ipv4 address);
// The mask of a prefix length (24: 255.255.255.0); lengths above 32 count as 32.
Ipv4 PrefixMask(unsigned prefixLength);

struct LiveAddress {
  Ipv4 address = 0;
  Ipv4 mask = 0;
  bool leased = false;  // given by a DHCP server (not typed in, not self-assigned 169.254.x.x)
  bool operator==(const LiveAddress&) const = default;
};

// A connection's IPv4 configuration as the system has it now. Addresses still being checked
// for duplicates, or found to be duplicates, are not in it: they carry no traffic.
struct LiveConnection {
  enum class Status {
    Found,
    NotFound,    // no connection of that name
    Unreadable,  // the system offers no way to read it (no IP Helper)
  };
  Status status = Status::Unreadable;
  bool dhcp = false;
  std::vector<LiveAddress> addresses;
  std::vector<Ipv4> gateways;
  std::vector<Ipv4> dnsServers;  // in the order the resolver asks them
};

// Reads a connection by the name the user sees; the window's seam for tests.
using ConnectionReader = std::function<LiveConnection(const std::string& connection)>;

// One compared value: what the apply asked for and what the connection has, as shown to
// the user, and whether they agree.
struct ReadBackItem {
  std::string label;
  std::string asked;
  std::string found;
  bool same = false;
  bool operator==(const ReadBackItem&) const = default;
};

struct ReadBack {
  bool matches = false;
  std::vector<ReadBackItem> items;
};

// Compares the connection with what the script (or the registry) asked for. A match needs:
// - DHCP asked: DHCP on, and an address leased from a DHCP server (an address typed in
//   earlier, still there until the lease comes, or a self-assigned one does not count);
// - a static address asked: DHCP off, and the address with exactly that mask among the
//   connection's addresses (others the system keeps beside it do not matter); the gateway
//   exactly as asked, none when none was asked (a second default route would change where
//   traffic goes);
// - manual DNS: exactly the servers asked, in the asked order (the first is asked first);
//   automatic DNS: whatever servers the connection has.
// Texts are compared as addresses, so "010.1.2.3" asks for 10.1.2.3; a text that is no
// address never matches. A connection not found or not readable matches nothing.
ReadBack CompareWithAsked(const ApplyValues& asked, const LiveConnection& found);

}  // namespace tavi
