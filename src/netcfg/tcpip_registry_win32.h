// Configuring an adapter's TCP/IP through the registry, for systems where netsh is not used.
// The DHCP client service should be stopped around the writes (the caller's part).
#pragma once

#include <string>
#include <string_view>

#include "netcfg/tcpip_registry.h"

namespace tavi {

// Writes the values of one control set for the adapter (ControlSetTcpipWrites), each one
// whatever became of the one before. True when every write succeeded.
bool WriteControlSetTcpip(std::string_view controlSet, std::string_view adapter,
                          const TcpipSettings& settings);

// Takes the adapter from the first entry of NetBT's binding list in ControlSet001 and writes
// its values into ControlSet001, ControlSet002 and CurrentControlSet, in that order. False
// when no adapter can be derived (then nothing at all is written) or when any write failed
// (the others are still made), so that the caller does not report a change that did not
// happen.
bool WriteTcpipSettings(const std::string& IP, const std::string& SubNetMask,
                        const std::string& GateWay, const std::string& FirstDNS,
                        const std::string& SecondDNS, bool UseDhcp);

}  // namespace tavi
