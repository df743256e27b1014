#include "netcfg/connection_reader_win32.h"

// clang-format off
#include <winsock2.h>
#include <windows.h>
#include <iphlpapi.h>
// clang-format on

#include <cstddef>
#include <cstring>
#include <optional>
#include <string_view>
#include <vector>

#include "netcfg/adapter_discovery.h"
#include "netcfg/registry_values_win32.h"
#include "win/files_win32.h"
#include "win/system_function_win32.h"
#include "win/text_win32.h"

namespace tavi {
namespace {

using GetAdaptersAddressesFunction = ULONG(WINAPI*)(ULONG, ULONG, PVOID, PIP_ADAPTER_ADDRESSES_LH,
                                                    PULONG);
using GetAdaptersInfoFunction = ULONG(WINAPI*)(PIP_ADAPTER_INFO, PULONG);
using GetPerAdapterInfoFunction = DWORD(WINAPI*)(ULONG, PIP_PER_ADAPTER_INFO, PULONG);

struct IpHelper {
  GetAdaptersAddressesFunction getAdaptersAddresses = nullptr;
  GetAdaptersInfoFunction getAdaptersInfo = nullptr;
  GetPerAdapterInfoFunction getPerAdapterInfo = nullptr;
};

// Loaded by its full path (an elevated program takes no DLL from its own or the current
// folder) and kept for the rest of the run.
IpHelper LoadIpHelper() {
  const std::string folder = SystemFolder();
  if (folder.empty()) return {};
  const HMODULE module = ::LoadLibraryW(Utf8ToWide(folder + "\\iphlpapi.dll").c_str());
  if (!module) return {};
  return {SystemFunction<GetAdaptersAddressesFunction>(module, "GetAdaptersAddresses"),
          SystemFunction<GetAdaptersInfoFunction>(module, "GetAdaptersInfo"),
          SystemFunction<GetPerAdapterInfoFunction>(module, "GetPerAdapterInfo")};
}

const IpHelper& Api() {
  static const IpHelper api = LoadIpHelper();
  return api;
}

// A buffer that an IP Helper function fills, grown to the size it asks for (the list may
// grow between two calls). Eight-byte units: the lists hold 64-bit fields.
template <typename Fill>
ULONG FillBuffer(std::vector<ULONGLONG>& buffer, ULONG bytes, Fill fill) {
  ULONG result = ERROR_BUFFER_OVERFLOW;
  for (int attempt = 0; attempt < 4 && result == ERROR_BUFFER_OVERFLOW; ++attempt) {
    buffer.assign(bytes / sizeof(ULONGLONG) + 1, 0);
    bytes = static_cast<ULONG>(buffer.size() * sizeof(ULONGLONG));
    result = fill(buffer.data(), &bytes);
  }
  return result;
}

LiveConnection WithStatus(LiveConnection::Status status) {
  LiveConnection connection;
  connection.status = status;
  return connection;
}

bool SameName(std::wstring_view a, const std::wstring& b) {
  return ::lstrcmpiW(std::wstring(a).c_str(), b.c_str()) == 0;
}

std::optional<Ipv4> Ipv4Of(const SOCKET_ADDRESS& address) {
  if (!address.lpSockaddr || address.lpSockaddr->sa_family != AF_INET) return std::nullopt;
  const auto* bytes = reinterpret_cast<const unsigned char*>(
      &reinterpret_cast<const sockaddr_in*>(address.lpSockaddr)->sin_addr);
  return (Ipv4{bytes[0]} << 24) | (Ipv4{bytes[1]} << 16) | (Ipv4{bytes[2]} << 8) | bytes[3];
}

// The text of an entry of the older lists, which need not end in a NUL when it is full.
std::string_view TextOf(const IP_ADDRESS_STRING& text) {
  return std::string_view(text.String, ::strnlen(text.String, sizeof text.String));
}

// An address of the older lists; "0.0.0.0" (or an empty text) stands for none.
std::optional<Ipv4> Ipv4Of(const IP_ADDRESS_STRING& text) {
  const std::optional<Ipv4> address = ParseIpv4(TextOf(text));
  if (!address || *address == 0) return std::nullopt;
  return address;
}

// Nothing when this system's GetAdaptersAddresses cannot say it all (missing, or XP's entries
// without prefix lengths and gateways): the older way reads it then.
std::optional<LiveConnection> ReadFromAdapterAddresses(const std::wstring& name) {
  const GetAdaptersAddressesFunction getAdaptersAddresses = Api().getAdaptersAddresses;
  if (!getAdaptersAddresses) return std::nullopt;
  constexpr ULONG kFlags = GAA_FLAG_INCLUDE_PREFIX | GAA_FLAG_INCLUDE_GATEWAYS |
                           GAA_FLAG_SKIP_ANYCAST | GAA_FLAG_SKIP_MULTICAST;
  std::vector<ULONGLONG> buffer;
  const ULONG result = FillBuffer(buffer, 16 * 1024, [&](ULONGLONG* data, ULONG* bytes) {
    return getAdaptersAddresses(AF_INET, kFlags, nullptr,
                                reinterpret_cast<PIP_ADAPTER_ADDRESSES_LH>(data), bytes);
  });
  if (result == ERROR_NO_DATA) return WithStatus(LiveConnection::Status::NotFound);
  if (result != NO_ERROR) return std::nullopt;

  constexpr std::size_t kWithGateways = offsetof(IP_ADAPTER_ADDRESSES_LH, FirstGatewayAddress) +
                                        sizeof(PIP_ADAPTER_GATEWAY_ADDRESS_LH);
  constexpr std::size_t kWithPrefix =
      offsetof(IP_ADAPTER_UNICAST_ADDRESS_LH, OnLinkPrefixLength) + sizeof(UINT8);
  for (auto* adapter = reinterpret_cast<const IP_ADAPTER_ADDRESSES_LH*>(buffer.data()); adapter;
       adapter = adapter->Next) {
    if (adapter->Length < kWithGateways) return std::nullopt;
    if (!adapter->FriendlyName || !SameName(adapter->FriendlyName, name)) continue;
    LiveConnection connection = WithStatus(LiveConnection::Status::Found);
    connection.dhcp = (adapter->Flags & IP_ADAPTER_DHCP_ENABLED) != 0;
    for (auto* unicast = adapter->FirstUnicastAddress; unicast; unicast = unicast->Next) {
      const std::optional<Ipv4> address = Ipv4Of(unicast->Address);
      // A tentative address is still being checked for duplicates; a duplicate is unused.
      const bool usable =
          unicast->DadState == IpDadStatePreferred || unicast->DadState == IpDadStateDeprecated;
      if (!address || !usable) continue;
      const Ipv4 mask =
          unicast->Length >= kWithPrefix ? PrefixMask(unicast->OnLinkPrefixLength) : 0;
      connection.addresses.push_back({*address, mask, unicast->PrefixOrigin == IpPrefixOriginDhcp});
    }
    for (auto* gateway = adapter->FirstGatewayAddress; gateway; gateway = gateway->Next) {
      const std::optional<Ipv4> address = Ipv4Of(gateway->Address);
      if (address && *address != 0) connection.gateways.push_back(*address);
    }
    for (auto* server = adapter->FirstDnsServerAddress; server; server = server->Next) {
      if (const std::optional<Ipv4> address = Ipv4Of(server->Address))
        connection.dnsServers.push_back(*address);
    }
    return connection;
  }
  return WithStatus(LiveConnection::Status::NotFound);
}

}  // namespace

LiveConnection ReadConnection(const std::string& connection) {
  if (std::optional<LiveConnection> read = ReadFromAdapterAddresses(Utf8ToWide(connection)))
    return *read;
  return ReadConnectionFromAdapterInfo(connection);
}

LiveConnection ReadConnectionFromAdapterInfo(const std::string& connection) {
  const IpHelper& api = Api();
  if (!api.getAdaptersInfo) return WithStatus(LiveConnection::Status::Unreadable);
  std::vector<ULONGLONG> buffer;
  const ULONG result = FillBuffer(buffer, 16 * 1024, [&](ULONGLONG* data, ULONG* bytes) {
    return api.getAdaptersInfo(reinterpret_cast<PIP_ADAPTER_INFO>(data), bytes);
  });
  if (result == ERROR_NO_DATA) return WithStatus(LiveConnection::Status::NotFound);
  if (result != NO_ERROR) return WithStatus(LiveConnection::Status::Unreadable);

  const std::wstring wanted = Utf8ToWide(connection);
  for (auto* adapter = reinterpret_cast<const IP_ADAPTER_INFO*>(buffer.data()); adapter;
       adapter = adapter->Next) {
    std::string name;
    const std::string_view key(adapter->AdapterName,
                               ::strnlen(adapter->AdapterName, sizeof adapter->AdapterName));
    if (!ReadRegString(HKEY_LOCAL_MACHINE, ConnectionNamePath(key), name) ||
        !SameName(Utf8ToWide(name), wanted)) {
      continue;
    }
    LiveConnection live = WithStatus(LiveConnection::Status::Found);
    live.dhcp = adapter->DhcpEnabled != 0;
    bool selfAssigned = false;
    std::vector<ULONGLONG> perAdapter;
    if (api.getPerAdapterInfo && FillBuffer(perAdapter, 1024, [&](ULONGLONG* data, ULONG* bytes) {
                                   return api.getPerAdapterInfo(
                                       adapter->Index, reinterpret_cast<PIP_PER_ADAPTER_INFO>(data),
                                       bytes);
                                 }) == NO_ERROR) {
      const auto* info = reinterpret_cast<const IP_PER_ADAPTER_INFO*>(perAdapter.data());
      selfAssigned = info->AutoconfigActive != 0;
      for (const IP_ADDR_STRING* server = &info->DnsServerList; server; server = server->Next) {
        if (const std::optional<Ipv4> address = Ipv4Of(server->IpAddress))
          live.dnsServers.push_back(*address);
      }
    }
    for (const IP_ADDR_STRING* entry = &adapter->IpAddressList; entry; entry = entry->Next) {
      const std::optional<Ipv4> address = Ipv4Of(entry->IpAddress);
      if (!address) continue;
      live.addresses.push_back(
          {*address, ParseIpv4(TextOf(entry->IpMask)).value_or(0), live.dhcp && !selfAssigned});
    }
    for (const IP_ADDR_STRING* gateway = &adapter->GatewayList; gateway; gateway = gateway->Next) {
      if (const std::optional<Ipv4> address = Ipv4Of(gateway->IpAddress))
        live.gateways.push_back(*address);
    }
    return live;
  }
  return WithStatus(LiveConnection::Status::NotFound);
}

}  // namespace tavi
