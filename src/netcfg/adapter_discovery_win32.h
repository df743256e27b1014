// Finding the machine's network connections, for the connection list of the main window.
#pragma once

#include <string>
#include <vector>

namespace tavi {

// The connection names of the network adapters in the registry that "ipconfig /all"
// mentions, in the registry's order of the adapter keys. Runs ipconfig (processing window
// messages while it waits, for at most about 15 s) only when some adapter has a name.
// Empty when the registry holds no adapters or ipconfig cannot run; nothing is reported.
std::vector<std::string> DiscoverConnectionNames();

}  // namespace tavi
