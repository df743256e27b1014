// The TCP/IP values that configure one adapter through the registry, for systems where netsh
// is not used: which adapter (the first one NetBT is bound to), and which values go where.
// Portable: tcpip_registry_win32.h performs the writes.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavi {

// The binding list whose first entry names the adapter; always read from ControlSet001.
inline constexpr std::string_view kNetBtBindPath =
    "SYSTEM\\ControlSet001\\Services\\NetBT\\Linkage\\Bind";

// The control sets that receive the values, in the order they are written.
inline constexpr std::array<std::string_view, 3> kTcpipControlSets = {
    "ControlSet001", "ControlSet002", "CurrentControlSet"};

// What one apply asks for. The texts are written as they stand, neither trimmed nor checked.
struct TcpipSettings {
  std::string IP;
  std::string SubNetMask;
  std::string GateWay;
  std::string FirstDNS;
  std::string SecondDNS;
  bool UseDhcp = false;
};

// The registry types of the values written; the numbers are the registry's own.
enum class RegValueType : std::uint32_t { String = 1, Dword = 4, MultiString = 7 };

// One value to set, under HKEY_LOCAL_MACHINE. A multi-string holds text as its single entry.
struct RegWrite {
  std::string valuePath;
  RegValueType type = RegValueType::String;
  std::string text;          // String and MultiString
  std::uint32_t number = 0;  // Dword
  bool operator==(const RegWrite&) const = default;
};

// The adapter's key name: the first entry of the binding list (as ReadRegMultiString gives
// it, entries each followed by a NUL) without its 14-character device prefix
// ("\Device\Tcpip_"). Nothing when the list is empty, its first entry is no longer than the
// prefix, or the rest is no key name (holds a backslash): then there is no adapter to write
// under.
std::optional<std::string> AdapterFromBindList(std::string_view bindList);

// The values for one control set, in the order they are written. With DHCP only the adapter's
// EnableDHCP; otherwise the addresses under both the adapter's and the interface's key, and
// the name servers ("first" or "first,second") under the interface's key alone.
std::vector<RegWrite> ControlSetTcpipWrites(std::string_view controlSet, std::string_view adapter,
                                            const TcpipSettings& settings);

}  // namespace tavi
