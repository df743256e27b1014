// The TCP/IP registry writer against the test prefix's registry: the adapter comes from a
// NetBT binding list written here, and every value is read back with its type.
#include "netcfg/tcpip_registry_win32.h"

#include <gtest/gtest.h>
#include <shlwapi.h>

#include <string>

#include "netcfg/registry_values_win32.h"
#include "win/handle.h"
#include "win/text_win32.h"

namespace tavi {
namespace {

using namespace std::string_literals;

const std::string kAdapter = "{8A1B2C3D-0000-4E5F-9A8B-123456789ABC}";
const std::string kOther = "{00000000-1111-2222-3333-444444444444}";
const char* const kControlSets[] = {"ControlSet001", "ControlSet002", "CurrentControlSet"};

struct Stored {
  DWORD type = REG_NONE;
  std::wstring data;  // string data as stored, NULs included; a DWORD as two characters
  bool operator==(const Stored&) const = default;
};

Stored Sz(std::wstring_view text) {
  return {REG_SZ, std::wstring(text) + L'\0'};
}
Stored MultiSz(std::wstring_view entry) {
  return {REG_MULTI_SZ, std::wstring(entry) + L"\0\0"s};
}
Stored Dword(DWORD number) {
  return {REG_DWORD,
          std::wstring{static_cast<wchar_t>(number & 0xFFFF), static_cast<wchar_t>(number >> 16)}};
}

// The value as the registry holds it, read past the program's helpers.
Stored ReadStored(const std::string& keyPath, const wchar_t* name) {
  Stored stored;
  RegKey key;
  if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, Utf8ToWide(keyPath).c_str(), 0, KEY_READ, key.put()) !=
      ERROR_SUCCESS) {
    return stored;
  }
  stored.data.resize(256);
  DWORD size = static_cast<DWORD>(stored.data.size() * sizeof(wchar_t));
  if (::RegQueryValueExW(key.get(), name, nullptr, &stored.type,
                         reinterpret_cast<BYTE*>(stored.data.data()), &size) != ERROR_SUCCESS) {
    return {};
  }
  stored.data.resize(size / sizeof(wchar_t));
  return stored;
}

std::string AdapterKey(const std::string& controlSet, const std::string& adapter = kAdapter) {
  return "SYSTEM\\" + controlSet + "\\Services\\" + adapter + "\\Parameters\\Tcpip";
}
std::string InterfaceKey(const std::string& controlSet, const std::string& adapter = kAdapter) {
  return "SYSTEM\\" + controlSet + "\\Services\\Tcpip\\Parameters\\Interfaces\\" + adapter;
}

void WriteBindList(std::wstring_view data) {
  ASSERT_TRUE(WriteRegValue(HKEY_LOCAL_MACHINE,
                            "SYSTEM\\ControlSet001\\Services\\NetBT\\Linkage\\Bind", REG_MULTI_SZ,
                            data.data(), static_cast<DWORD>(data.size() * sizeof(wchar_t))));
}

class TcpipRegistry : public ::testing::Test {
 protected:
  void SetUp() override { RemoveWrittenKeys(); }
  void TearDown() override { RemoveWrittenKeys(); }

  static void RemoveWrittenKeys() {
    for (const std::string controlSet : {"ControlSet001", "ControlSet002"}) {
      for (const std::string& key :
           {"SYSTEM\\" + controlSet + "\\Services\\" + kAdapter,
            "SYSTEM\\" + controlSet + "\\Services\\" + kOther, InterfaceKey(controlSet),
            InterfaceKey(controlSet, kOther), "SYSTEM\\" + controlSet + "\\Services\\NetBT"}) {
        ::SHDeleteKeyW(HKEY_LOCAL_MACHINE, Utf8ToWide(key).c_str());
      }
    }
  }
};

TEST_F(TcpipRegistry, StaticSettingsGoIntoEveryControlSetThenDhcpOnlyTurnsDhcpOn) {
  // Several adapters bound: the first one is configured.
  WriteBindList(L"\\Device\\Tcpip_" + Utf8ToWide(kAdapter) + L"\0\\Device\\Tcpip_"s +
                Utf8ToWide(kOther) + L"\0\0"s);
  ASSERT_TRUE(
      WriteTcpipSettings("192.168.10.25", "255.255.255.0", "", "192.168.10.53", "8.8.8.8", false));
  for (const std::string controlSet : kControlSets) {
    SCOPED_TRACE(controlSet);
    for (const std::string& key : {AdapterKey(controlSet), InterfaceKey(controlSet)}) {
      SCOPED_TRACE(key);
      EXPECT_EQ(ReadStored(key, L"EnableDHCP"), Dword(0));
      EXPECT_EQ(ReadStored(key, L"IPAddress"), MultiSz(L"192.168.10.25"));
      EXPECT_EQ(ReadStored(key, L"SubnetMask"), MultiSz(L"255.255.255.0"));
      EXPECT_EQ(ReadStored(key, L"DefaultGateway"), MultiSz(L""));
    }
    EXPECT_EQ(ReadStored(InterfaceKey(controlSet), L"NameServer"), Sz(L"192.168.10.53,8.8.8.8"));
    EXPECT_EQ(ReadStored(AdapterKey(controlSet), L"NameServer"), Stored{});
    EXPECT_EQ(ReadStored(AdapterKey(controlSet, kOther), L"EnableDHCP"), Stored{});
    EXPECT_EQ(ReadStored(InterfaceKey(controlSet, kOther), L"EnableDHCP"), Stored{});
  }

  ASSERT_TRUE(WriteTcpipSettings("10.0.0.5", "255.0.0.0", "10.0.0.1", "1.1.1.1", "", true));
  for (const std::string controlSet : kControlSets) {
    SCOPED_TRACE(controlSet);
    EXPECT_EQ(ReadStored(AdapterKey(controlSet), L"EnableDHCP"), Dword(1));
    EXPECT_EQ(ReadStored(AdapterKey(controlSet), L"IPAddress"), MultiSz(L"192.168.10.25"));
    EXPECT_EQ(ReadStored(InterfaceKey(controlSet), L"EnableDHCP"), Dword(0));
    EXPECT_EQ(ReadStored(InterfaceKey(controlSet), L"NameServer"), Sz(L"192.168.10.53,8.8.8.8"));
  }
}

TEST_F(TcpipRegistry, WithoutAnAdapterNothingIsWrittenAndTheCallerIsTold) {
  const auto nothingWritten = [] {
    for (const std::string controlSet : kControlSets) {
      for (const std::string& key :
           {"SYSTEM\\" + controlSet + "\\Services\\Parameters\\Tcpip",
            "SYSTEM\\" + controlSet + "\\Services\\Tcpip\\Parameters\\Interfaces"}) {
        for (const wchar_t* name : {L"EnableDHCP", L"IPAddress", L"NameServer"}) {
          if (ReadStored(key, name) != Stored{}) return false;
        }
      }
      if (RegKeyPresent(HKEY_LOCAL_MACHINE, "SYSTEM\\" + controlSet + "\\Services\\Parameters"))
        return false;
    }
    return true;
  };
  EXPECT_FALSE(WriteTcpipSettings("10.0.0.5", "255.0.0.0", "", "", "", false));  // no list
  WriteBindList(L"\\Device\\Tcpip_\0\\Device\\Tcpip_"s + Utf8ToWide(kAdapter) + L"\0\0"s);
  EXPECT_FALSE(WriteTcpipSettings("10.0.0.5", "255.0.0.0", "", "", "", false));
  EXPECT_FALSE(WriteTcpipSettings("", "", "", "", "", true));
  EXPECT_TRUE(nothingWritten());
  EXPECT_FALSE(RegKeyPresent(HKEY_LOCAL_MACHINE, AdapterKey("ControlSet001")));
}

TEST_F(TcpipRegistry, AFailedWriteIsReportedAndTheOthersAreStillMade) {
  // A volatile key takes no lasting subkeys: every write under it fails.
  ::SHDeleteKeyW(HKEY_LOCAL_MACHINE, L"SYSTEM\\ControlSet002\\Services");
  RegKey volatileKey;
  ASSERT_EQ(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"SYSTEM\\ControlSet002\\Services", 0, nullptr,
                              REG_OPTION_VOLATILE, KEY_WRITE, nullptr, volatileKey.put(), nullptr),
            ERROR_SUCCESS);
  WriteBindList(L"\\Device\\Tcpip_" + Utf8ToWide(kAdapter) + L"\0\0"s);
  EXPECT_FALSE(WriteTcpipSettings("", "", "", "", "", true));
  EXPECT_EQ(ReadStored(AdapterKey("ControlSet002"), L"EnableDHCP"), Stored{});
  EXPECT_EQ(ReadStored(AdapterKey("ControlSet001"), L"EnableDHCP"), Dword(1));
  ::SHDeleteKeyW(HKEY_LOCAL_MACHINE, L"SYSTEM\\ControlSet002\\Services");
}

}  // namespace
}  // namespace tavi
