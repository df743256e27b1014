// Which network connections the program offers: the adapters of the registry's network class
// whose connection name the TCP/IP stack's own listing ("ipconfig /all") mentions.
// Portable: the registry reads and the console run live in adapter_discovery_win32.h.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavi {

// The class of network adapters, under HKEY_LOCAL_MACHINE; one subkey per adapter.
inline constexpr std::string_view kNetworkClassKey =
    "SYSTEM\\CurrentControlSet\\Control\\Network\\{4D36E972-E325-11CE-BFC1-08002BE10318}";

// The value path of an adapter's connection name (its "Connection\Name" string).
std::string ConnectionNamePath(std::string_view adapterSubkey);

// The connection name of an adapter subkey; nothing when it cannot be read.
using ConnectionNameReader = std::function<std::optional<std::string>(const std::string&)>;

// The connection names of the adapters in a CR LF joined list of subkey names, in list order.
// Only subkeys whose name begins with "{" are adapters (the class key also holds others, such
// as "Descriptions"); readName is called for those alone, and unreadable names are left out.
std::vector<std::string> AdapterConnectionNames(std::string_view subkeyList,
                                                const ConnectionNameReader& readName);

// Whether any of the names could pass ListedConnectionNames at all, so the listing is needed.
bool AnyConnectionName(const std::vector<std::string>& names);

// The names, in their order, that occur in the listing: a case-sensitive substring test, so a
// name that is the start of a longer listed name passes too. An empty name never passes.
std::vector<std::string> ListedConnectionNames(const std::vector<std::string>& names,
                                               std::string_view listing);

}  // namespace tavi
