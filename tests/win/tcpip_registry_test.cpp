// The TCP/IP registry writer against the test prefix's registry: the adapter comes from a
// NetBT binding list written here, and every value is read back with its type.
#include "netcfg/tcpip_registry_win32.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "netcfg/registry_values_win32.h"
#include "win/handle.h"

namespace tavi {
namespace {

using namespace std::string_literals;

const char* const kControlSets[] = {"ControlSet001", "ControlSet002", "CurrentControlSet"};

// The data of a value of that type as UTF-16 units (a DWORD as two); "-" for none.
std::wstring Stored(const std::string& valuePath, DWORD type) {
  std::vector<BYTE> data;
  if (!ReadRegValue(HKEY_LOCAL_MACHINE, valuePath, type, data)) return L"-";
  return std::wstring(reinterpret_cast<const wchar_t*>(data.data()), data.size() / 2);
}
std::wstring Dword(DWORD n) {
  return {static_cast<wchar_t>(n), static_cast<wchar_t>(n >> 16)};
}

std::string AdapterKey(const std::string& controlSet, const std::string& adapter) {
  return "SYSTEM\\" + controlSet + "\\Services\\" + adapter + "\\Parameters\\Tcpip\\";
}
std::string InterfaceKey(const std::string& controlSet, const std::string& adapter) {
  return "SYSTEM\\" + controlSet + "\\Services\\Tcpip\\Parameters\\Interfaces\\" + adapter + "\\";
}

void WriteBindList(const std::wstring& entries) {
  const std::wstring data = entries + L'\0';
  ASSERT_TRUE(WriteRegValue(HKEY_LOCAL_MACHINE,
                            "SYSTEM\\ControlSet001\\Services\\NetBT\\Linkage\\Bind", REG_MULTI_SZ,
                            data.data(), static_cast<DWORD>(data.size() * sizeof(wchar_t))));
}

TEST(TcpipRegistry, StaticValuesGoIntoEveryControlSetForTheFirstBoundAdapter) {
  WriteBindList(L"\\Device\\Tcpip_{A}\0\\Device\\Tcpip_{B}\0"s);
  ASSERT_TRUE(
      WriteTcpipSettings("192.168.10.25", "255.255.255.0", "", "192.168.10.53", "8.8.8.8", false));
  for (const std::string controlSet : kControlSets) {
    for (const std::string& key :
         {AdapterKey(controlSet, "{A}"), InterfaceKey(controlSet, "{A}")}) {
      SCOPED_TRACE(key);
      EXPECT_EQ(Stored(key + "EnableDHCP", REG_DWORD), Dword(0));
      EXPECT_EQ(Stored(key + "IPAddress", REG_MULTI_SZ), L"192.168.10.25\0\0"s);
      EXPECT_EQ(Stored(key + "SubnetMask", REG_MULTI_SZ), L"255.255.255.0\0\0"s);
      EXPECT_EQ(Stored(key + "DefaultGateway", REG_MULTI_SZ), L"\0\0"s);
    }
    EXPECT_EQ(Stored(InterfaceKey(controlSet, "{A}") + "NameServer", REG_SZ),
              L"192.168.10.53,8.8.8.8\0"s);
    EXPECT_EQ(Stored(AdapterKey(controlSet, "{A}") + "NameServer", REG_SZ), L"-");
    EXPECT_FALSE(RegKeyPresent(HKEY_LOCAL_MACHINE, AdapterKey(controlSet, "{B}")));
  }
}

TEST(TcpipRegistry, NothingIsWrittenWithoutAnAdapterAndFailedWritesAreReported) {
  WriteBindList(L"\\Device\\Tcpip_\0\\Device\\Tcpip_{C}\0"s);
  EXPECT_FALSE(WriteTcpipSettings("10.0.0.5", "255.0.0.0", "", "", "", false));
  EXPECT_FALSE(WriteTcpipSettings("", "", "", "", "", true));
  for (const std::string controlSet : kControlSets) {
    SCOPED_TRACE(controlSet);
    EXPECT_FALSE(
        RegKeyPresent(HKEY_LOCAL_MACHINE, "SYSTEM\\" + controlSet + "\\Services\\Parameters"));
    EXPECT_EQ(
        Stored("SYSTEM\\" + controlSet + "\\Services\\Tcpip\\Parameters\\Interfaces\\IPAddress",
               REG_MULTI_SZ),
        L"-");
    EXPECT_FALSE(RegKeyPresent(HKEY_LOCAL_MACHINE, AdapterKey(controlSet, "{C}")));
  }

  // A volatile key takes no lasting subkeys, so every write under it fails (ControlSet001 and,
  // under Wine, CurrentControlSet, which links to it); ControlSet002 is written all the same.
  RegKey refusing;
  ASSERT_EQ(
      ::RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"SYSTEM\\ControlSet001\\Services\\{D}", 0, nullptr,
                        REG_OPTION_VOLATILE, KEY_WRITE, nullptr, refusing.put(), nullptr),
      ERROR_SUCCESS);
  WriteBindList(L"\\Device\\Tcpip_{D}\0"s);
  EXPECT_FALSE(WriteTcpipSettings("", "", "", "", "", true));
  EXPECT_EQ(Stored(AdapterKey("ControlSet002", "{D}") + "EnableDHCP", REG_DWORD), Dword(1));
}

}  // namespace
}  // namespace tavi
