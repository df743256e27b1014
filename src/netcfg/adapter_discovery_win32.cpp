#include "netcfg/adapter_discovery_win32.h"

#include <windows.h>

#include "netcfg/adapter_discovery.h"
#include "netcfg/console_runner_win32.h"
#include "netcfg/registry_values_win32.h"

namespace tavi {

std::vector<std::string> DiscoverConnectionNames() {
  const std::string classKey(kNetworkClassKey);
  std::string subkeys;
  if (RegKeyPresent(HKEY_LOCAL_MACHINE, classKey)) {
    EnumRegSubkeys(HKEY_LOCAL_MACHINE, classKey, subkeys);
  }
  const std::vector<std::string> names =
      AdapterConnectionNames(subkeys, [](const std::string& subkey) -> std::optional<std::string> {
        std::string name;
        if (!ReadRegString(HKEY_LOCAL_MACHINE, ConnectionNamePath(subkey), name)) return {};
        return name;
      });
  // The listing can only drop names, and ipconfig is the slow part of the window's start.
  if (!AnyConnectionName(names)) return {};
  std::string listing;
  RunAndCapture("ipconfig /all", listing);
  return ListedConnectionNames(names, listing);
}

}  // namespace tavi
