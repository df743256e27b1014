#include "netcfg/tcpip_registry_win32.h"

#include <windows.h>

#include "netcfg/registry_values_win32.h"

namespace tavi {
namespace {

static_assert(static_cast<DWORD>(RegValueType::String) == REG_SZ);
static_assert(static_cast<DWORD>(RegValueType::Dword) == REG_DWORD);
static_assert(static_cast<DWORD>(RegValueType::MultiString) == REG_MULTI_SZ);

bool Perform(const RegWrite& write) {
  switch (write.type) {
    case RegValueType::String:
      return WriteRegString(HKEY_LOCAL_MACHINE, write.valuePath, write.text);
    case RegValueType::MultiString:
      return WriteRegMultiString(HKEY_LOCAL_MACHINE, write.valuePath, write.text);
    case RegValueType::Dword:
      return WriteRegDword(HKEY_LOCAL_MACHINE, write.valuePath, write.number);
  }
  return false;
}

}  // namespace

bool WriteControlSetTcpip(std::string_view controlSet, std::string_view adapter,
                          const TcpipSettings& settings) {
  bool written = true;
  for (const RegWrite& write : ControlSetTcpipWrites(controlSet, adapter, settings)) {
    written = Perform(write) && written;
  }
  return written;
}

bool WriteTcpipSettings(const std::string& IP, const std::string& SubNetMask,
                        const std::string& GateWay, const std::string& FirstDNS,
                        const std::string& SecondDNS, bool UseDhcp) {
  std::string bindList;
  ReadRegMultiString(HKEY_LOCAL_MACHINE, std::string(kNetBtBindPath), bindList);
  const std::optional<std::string> adapter = AdapterFromBindList(bindList);
  if (!adapter) return false;
  const TcpipSettings settings{IP, SubNetMask, GateWay, FirstDNS, SecondDNS, UseDhcp};
  bool written = true;
  for (const std::string_view controlSet : kTcpipControlSets) {
    written = WriteControlSetTcpip(controlSet, *adapter, settings) && written;
  }
  return written;
}

}  // namespace tavi
