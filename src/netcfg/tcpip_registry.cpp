#include "netcfg/tcpip_registry.h"

namespace tavi {
namespace {

constexpr std::size_t kDevicePrefixCharacters = 14;  // "\Device\Tcpip_"

bool IsUtf8Continuation(char byte) {
  return (static_cast<unsigned char>(byte) & 0xC0) == 0x80;
}

// The name servers as the interface key holds them: the second one only when there is one.
std::string NameServerList(const TcpipSettings& settings) {
  if (settings.SecondDNS.empty()) return settings.FirstDNS;
  return settings.FirstDNS + "," + settings.SecondDNS;
}

}  // namespace

std::optional<std::string> AdapterFromBindList(std::string_view bindList) {
  std::string_view entry = bindList.substr(0, bindList.find('\0'));
  // The prefix counts characters, not UTF-8 bytes.
  for (std::size_t skipped = 0; skipped < kDevicePrefixCharacters; ++skipped) {
    if (entry.empty()) return std::nullopt;
    entry.remove_prefix(1);
    while (!entry.empty() && IsUtf8Continuation(entry.front()))
      entry.remove_prefix(1);
  }
  // What is left must be one key's name: with a backslash in it (or none at all) the writes
  // would land under the bare Services or Interfaces key, or another service's key.
  if (entry.empty() || entry.find('\\') != std::string_view::npos) return std::nullopt;
  return std::string(entry);
}

std::vector<RegWrite> ControlSetTcpipWrites(std::string_view controlSet, std::string_view adapter,
                                            const TcpipSettings& settings) {
  const std::string system = "SYSTEM\\" + std::string(controlSet) + "\\Services\\";
  const std::string adapterValues = system + std::string(adapter) + "\\Parameters\\Tcpip\\";
  const std::string interfaceValues =
      system + "Tcpip\\Parameters\\Interfaces\\" + std::string(adapter) + "\\";
  const auto dword = [](std::string path, std::uint32_t number) {
    return RegWrite{std::move(path), RegValueType::Dword, {}, number};
  };
  const auto multi = [](std::string path, const std::string& entry) {
    return RegWrite{std::move(path), RegValueType::MultiString, entry, 0};
  };

  if (settings.UseDhcp) return {dword(adapterValues + "EnableDHCP", 1)};
  std::vector<RegWrite> writes;
  for (const std::string& key : {adapterValues, interfaceValues}) {
    writes.push_back(dword(key + "EnableDHCP", 0));
    writes.push_back(multi(key + "IPAddress", settings.IP));
    writes.push_back(multi(key + "SubnetMask", settings.SubNetMask));
    writes.push_back(multi(key + "DefaultGateway", settings.GateWay));
  }
  writes.push_back(
      RegWrite{interfaceValues + "NameServer", RegValueType::String, NameServerList(settings), 0});
  return writes;
}

}  // namespace tavi
