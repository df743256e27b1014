// The machine's own IPv4 addresses, as its host name resolves.
#pragma once

#include <string>
#include <vector>

namespace tavi {

// One dotted-quad text per address of the local host name, in the resolver's order; empty
// when the name cannot be had or does not resolve. Uses Windows Sockets 1.1 (wsock32).
std::vector<std::string> GetLocalAddresses();

}  // namespace tavi
