// The TCP/IP registry plan of the old system family: the adapter taken from the NetBT binding
// list, and the values written for it. The plan never writes outside the adapter's two keys,
// writes each value with its one type, and a multi-string always holds exactly one entry.
//   input: flags US binding list (entries NUL-terminated) US ip US mask US gateway US dns1 US dns2
#include <set>
#include <string>
#include <vector>

#include "apply_values_input.h"
#include "fuzz_support.h"
#include "netcfg/apply_profile.h"
#include "netcfg/tcpip_registry.h"
#include "netcfg/value_path.h"

namespace {

constexpr std::string_view kDevicePrefix = "\\Device\\Tcpip_";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::vector<std::string> fields = tavi::fuzz::Fields(tavi::fuzz::AsText(data, size), 7);
  const std::string& bindList = fields[1];

  const std::optional<std::string> adapter = tavi::AdapterFromBindList(bindList);
  const std::string_view first = std::string_view(bindList).substr(0, bindList.find('\0'));
  if (adapter) {
    FUZZ_CHECK(!adapter->empty());
    FUZZ_CHECK(adapter->find('\\') == std::string::npos);
    FUZZ_CHECK(adapter->find('\0') == std::string::npos);
    FUZZ_CHECK(first.ends_with(*adapter) && first.size() > adapter->size());
  }
  // A binding list as Windows writes it names its adapter after the device prefix. (The list
  // arrives as UTF-8 made from UTF-16, so no character begins with a continuation byte.)
  if (first.starts_with(kDevicePrefix)) {
    const std::string_view name = first.substr(kDevicePrefix.size());
    const bool continuation = !name.empty() && (static_cast<unsigned char>(name[0]) & 0xC0) == 0x80;
    if (!name.empty() && !continuation && name.find('\\') == std::string_view::npos)
      FUZZ_CHECK(adapter == name);
  }
  if (!adapter) return 0;

  // The values as an apply passes them on (apply_values_input.h, the binding list in place of
  // the connection): only what the apply accepts reaches the plan.
  tavi::ApplyValues values = tavi::fuzz::ApplyValuesFrom(fields);
  values.NIC = "LAN";
  tavi::TcpipSettings settings;
  settings.UseDhcp = values.UseDhcp;
  settings.IP = values.IP;
  settings.SubNetMask = values.SubNetMask;
  settings.GateWay = values.GateWay;
  settings.FirstDNS = values.FirstDNS;
  settings.SecondDNS = values.SecondDNS;
  const bool accepted = tavi::CheckApplyValues(values) == tavi::ApplyRefusal::None;

  for (const std::string_view controlSet : tavi::kTcpipControlSets) {
    const std::string services = "SYSTEM\\" + std::string(controlSet) + "\\Services\\";
    const std::string adapterKey = services + *adapter + "\\Parameters\\Tcpip";
    const std::string interfaceKey = services + "Tcpip\\Parameters\\Interfaces\\" + *adapter;
    const std::vector<tavi::RegWrite> writes =
        tavi::ControlSetTcpipWrites(controlSet, *adapter, settings);
    FUZZ_CHECK(writes.size() == (settings.UseDhcp ? 1u : 9u));
    std::set<std::string> written;
    for (const tavi::RegWrite& write : writes) {
      FUZZ_CHECK(written.insert(write.valuePath).second);  // no value twice
      const std::optional<tavi::ValuePath> path = tavi::SplitValuePath(write.valuePath);
      FUZZ_CHECK(path && (path->keyPath == adapterKey || path->keyPath == interfaceKey));
      const std::string& name = path->valueName;
      using Type = tavi::RegValueType;
      if (name == "EnableDHCP") {
        FUZZ_CHECK(write.type == Type::Dword && write.number == (settings.UseDhcp ? 1u : 0u));
      } else if (name == "NameServer") {
        FUZZ_CHECK(write.type == Type::String && path->keyPath == interfaceKey);
        // The second server after a comma, only when there is one.
        FUZZ_CHECK(write.text == (settings.SecondDNS.empty()
                                      ? settings.FirstDNS
                                      : settings.FirstDNS + "," + settings.SecondDNS));
      } else {
        FUZZ_CHECK(write.type == Type::MultiString);
        FUZZ_CHECK(write.text == (name == "IPAddress"        ? settings.IP
                                  : name == "SubnetMask"     ? settings.SubNetMask
                                  : name == "DefaultGateway" ? settings.GateWay
                                                             : "no such value"));
        // One entry: a NUL inside would split the address into two.
        if (accepted) FUZZ_CHECK(write.text.find('\0') == std::string::npos);
      }
      if (settings.UseDhcp) FUZZ_CHECK(path->keyPath == adapterKey);
    }
  }
  return 0;
}
