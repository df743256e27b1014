#include "netcfg/local_addresses.h"

namespace tavi {

std::string LocalAddressText(const std::vector<std::string>& addresses) {
  std::string text;
  for (const std::string& address : addresses)
    text += address + "\r\n";
  return text;
}

}  // namespace tavi
