// A connection's live IPv4 configuration, found by the connection name the user sees, through
// the IP Helper API. Its functions are looked up when first needed, from the system folder's
// iphlpapi.dll: Windows 2000 has no GetAdaptersAddresses, and a program that imported it would
// not even start there.
#pragma once

#include <string>

#include "netcfg/read_back.h"

namespace tavi {

// GetAdaptersAddresses where its entries carry prefix lengths and gateways (Vista and later);
// ReadConnectionFromAdapterInfo where they do not (XP, Server 2003) or it is missing (2000).
// Names are compared ignoring letter case, as netsh does.
LiveConnection ReadConnection(const std::string& connection);

// The way of the older systems: GetAdaptersInfo for DHCP, addresses, masks and gateways,
// GetPerAdapterInfo for the DNS servers and whether an address is self-assigned, and the
// connection name from the adapter's key of the network class, as discovery reads it. Open to
// callers so that it is tested on systems that have the other way too.
LiveConnection ReadConnectionFromAdapterInfo(const std::string& connection);

}  // namespace tavi
