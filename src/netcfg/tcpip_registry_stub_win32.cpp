// Stands in for the registry writer until it is merged.
#include "netcfg/tcpip_registry_win32.h"

namespace tavi {

bool WriteTcpipSettings(const std::string&, const std::string&, const std::string&,
                        const std::string&, const std::string&, bool) {
  return false;
}

}  // namespace tavi
