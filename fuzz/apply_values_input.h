// The values of an apply read from the fields of a fuzz input, as the netsh script and the
// registry plan targets share them:
//   flags US connection US ip US mask US gateway US dns1 US dns2 US place name
// Flags: 1 DHCP, 2 static address chosen, 4 automatic DNS.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "netcfg/netsh_script.h"

namespace tavi::fuzz {

inline ApplyValues ApplyValuesFrom(std::vector<std::string> fields) {
  fields.resize(std::max<std::size_t>(fields.size(), 8));
  const unsigned flags = fields[0].empty() ? 0u : static_cast<unsigned char>(fields[0][0]);
  ApplyValues values;
  values.UseDhcp = flags & 1;
  values.StaticChosen = flags & 2;
  values.AutoDns = flags & 4;
  values.NIC = fields[1];
  values.IP = fields[2];
  values.SubNetMask = fields[3];
  values.GateWay = fields[4];
  values.FirstDNS = fields[5];
  values.SecondDNS = fields[6];
  values.Place = fields[7];
  return values;
}

}  // namespace tavi::fuzz
