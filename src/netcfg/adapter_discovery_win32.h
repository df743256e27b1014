// Finding the machine's network connections, for the connection list of the main window.
#pragma once

#include <string>
#include <vector>

#include "netcfg/console_runner_win32.h"

namespace tavi {

// The connection names of the network adapters in the registry that "ipconfig /all"
// mentions, in the registry's order of the adapter keys. Runs ipconfig (processing window
// messages while it waits, for at most about 15 s) only when some adapter has a name.
// Empty when the registry holds no adapters or ipconfig cannot run; nothing is reported.
std::vector<std::string> DiscoverConnectionNames();

// DiscoverConnectionNames in two halves, so that ipconfig runs while the caller does other
// work: Start reads the adapters' names and starts ipconfig, Finish waits for its listing and
// gives the result. Finish without Start does both.
class AdapterDiscovery {
 public:
  void Start();
  std::vector<std::string> Finish();

 private:
  bool started_ = false;
  std::vector<std::string> names_;
  ConsoleCapture listing_;
};

}  // namespace tavi
