#include "netcfg/adapter_discovery_win32.h"

#include <windows.h>

#include <optional>
#include <utility>

#include "netcfg/adapter_discovery.h"
#include "netcfg/registry_values_win32.h"

namespace tavi {

std::vector<std::string> DiscoverConnectionNames() {
  AdapterDiscovery discovery;
  discovery.Start();
  return discovery.Finish();
}

void AdapterDiscovery::Start() {
  started_ = true;
  const std::string classKey(kNetworkClassKey);
  std::string subkeys;
  if (RegKeyPresent(HKEY_LOCAL_MACHINE, classKey)) {
    EnumRegSubkeys(HKEY_LOCAL_MACHINE, classKey, subkeys);
  }
  names_ =
      AdapterConnectionNames(subkeys, [](const std::string& subkey) -> std::optional<std::string> {
        std::string name;
        if (!ReadRegString(HKEY_LOCAL_MACHINE, ConnectionNamePath(subkey), name)) return {};
        return name;
      });
  // The listing can only drop names, and ipconfig is the slow part of the window's start.
  if (AnyConnectionName(names_)) listing_.Start("ipconfig /all");
}

std::vector<std::string> AdapterDiscovery::Finish() {
  if (!started_) Start();
  started_ = false;
  std::string listing;
  listing_.Finish(listing);
  return ListedConnectionNames(std::exchange(names_, {}), listing);
}

}  // namespace tavi
