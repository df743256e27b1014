// One saved place: a connection and its address settings, plus its position in the list.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tavi {

struct TNetworkInfo {
  std::string Place;       // name; also the INI section and the list-box text
  std::string NIC;         // connection name as listed in the connection box
  std::string IP;          // empty: DHCP
  std::string SubNetMask;  // empty for DHCP
  std::string GateWay;     // may be empty
  std::string FirstDNS;    // INI key "1stDNS"; empty: automatic DNS
  std::string SecondDNS;   // INI key "2ndDNS"; may be empty
  std::int32_t Order = 0;  // position in the list, 0 for the first
};

// The window's ordered list of places, one per list-box entry, in the same order.
using TProfileList = std::vector<TNetworkInfo>;

}  // namespace tavi
