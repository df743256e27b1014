// Configuring an adapter's TCP/IP through the registry, for systems where netsh is not used.
#pragma once

#include <string>

namespace tavi {

// False when no adapter can be derived or a write failed.
bool WriteTcpipSettings(const std::string& IP, const std::string& Mask, const std::string& Gateway,
                        const std::string& Dns1, const std::string& Dns2, bool UseDhcp);

}  // namespace tavi
