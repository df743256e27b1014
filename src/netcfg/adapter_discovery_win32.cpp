#include "netcfg/adapter_discovery_win32.h"

#include <windows.h>

#include <optional>
#include <utility>

#include "netcfg/adapter_discovery.h"
#include "netcfg/registry_values_win32.h"
#include "win/text_win32.h"

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
  // The listing can only drop names, and ipconfig is the slow part of the window's start: it
  // starts as netsh does, in a hidden console of its own, which Wine gives it some 20 ms
  // sooner than none.
  if (AnyConnectionName(names_)) listing_.Start("ipconfig /all");
}

std::vector<std::string> AdapterDiscovery::Finish() {
  if (!started_) Start();
  started_ = false;
  std::string listing;
  listing_.Finish(listing);
  // ipconfig prints in the OEM code page, where a character outside it becomes "?": each name
  // is looked for as ipconfig prints it, and offered as it is, so that it reaches netsh whole.
  std::vector<std::string> kept;
  for (std::string& name : std::exchange(names_, {})) {
    const std::string printed = CodePageToUtf8(Utf8ToCodePage(name, CP_OEMCP), CP_OEMCP);
    if (!ListedConnectionNames({printed}, listing).empty()) kept.push_back(std::move(name));
  }
  return kept;
}

}  // namespace tavi
