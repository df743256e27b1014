#include "netcfg/adapter_discovery.h"

#include <algorithm>

namespace tavi {

std::string ConnectionNamePath(std::string_view adapterSubkey) {
  std::string path(kNetworkClassKey);
  path += '\\';
  path += adapterSubkey;
  path += "\\Connection\\Name";
  return path;
}

std::vector<std::string> AdapterConnectionNames(std::string_view subkeyList,
                                                const ConnectionNameReader& readName) {
  std::vector<std::string> names;
  while (!subkeyList.empty()) {
    const std::size_t end = subkeyList.find("\r\n");
    const std::string subkey(subkeyList.substr(0, end));
    subkeyList.remove_prefix(end == std::string_view::npos ? subkeyList.size() : end + 2);
    if (!subkey.starts_with('{')) continue;
    if (std::optional<std::string> name = readName(subkey)) names.push_back(std::move(*name));
  }
  return names;
}

bool AnyConnectionName(const std::vector<std::string>& names) {
  return std::any_of(names.begin(), names.end(),
                     [](const std::string& name) { return !name.empty(); });
}

std::vector<std::string> ListedConnectionNames(const std::vector<std::string>& names,
                                               std::string_view listing) {
  std::vector<std::string> listed;
  for (const std::string& name : names) {
    // Both texts are UTF-8, so a byte match is a match of whole characters.
    if (!name.empty() && listing.find(name) != std::string_view::npos) listed.push_back(name);
  }
  return listed;
}

}  // namespace tavi
