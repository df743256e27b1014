// The registry value helpers and the TCP/IP registry writer against the real registry of the
// test's Wine prefix: the helpers inside a scratch key that each test starts without and leaves
// behind removed; the writer under an adapter named by a NetBT binding list written here,
// every value read back with its type.
#include <gtest/gtest.h>
#include <shlwapi.h>

#include <string>
#include <tuple>
#include <vector>

#include "netcfg/registry_values_win32.h"
#include "netcfg/tcpip_registry_win32.h"
#include "win/handle.h"
#include "win/text_win32.h"

namespace tavi {
namespace {

using namespace std::string_literals;

// The data of a value of that type as UTF-16 units (a DWORD as two); "-" for none.
std::wstring Stored(const std::string& valuePath, DWORD type) {
  std::vector<BYTE> data;
  if (!ReadRegValue(HKEY_LOCAL_MACHINE, valuePath, type, data)) return L"-";
  return std::wstring(reinterpret_cast<const wchar_t*>(data.data()), data.size() / 2);
}

const std::string kScratch = "SOFTWARE\\TaviRegistryTest";

class RegistryValues : public ::testing::Test {
 protected:
  void SetUp() override { RemoveScratch(); }
  void TearDown() override { RemoveScratch(); }
  static void RemoveScratch() { ::SHDeleteKeyW(HKEY_LOCAL_MACHINE, Utf8ToWide(kScratch).c_str()); }
};

TEST_F(RegistryValues, APathWithoutBackslashNamesNothingAndTouchesNothing) {
  std::string text = "stale";
  std::vector<BYTE> data(3);
  EXPECT_FALSE(WriteRegString(HKEY_LOCAL_MACHINE, "TaviRegistryTest", "x"));
  EXPECT_FALSE(WriteRegMultiString(HKEY_LOCAL_MACHINE, "TaviRegistryTest", "x"));
  EXPECT_FALSE(ReadRegString(HKEY_LOCAL_MACHINE, "TaviRegistryTest", text));
  EXPECT_EQ(text, "");
  EXPECT_FALSE(ReadRegValue(HKEY_LOCAL_MACHINE, "TaviRegistryTest", REG_SZ, data));
  EXPECT_TRUE(data.empty());
  EXPECT_FALSE(RegKeyPresent(HKEY_LOCAL_MACHINE, "TaviRegistryTest"));
}

TEST_F(RegistryValues, WritesCreateMissingKeysStoreUtf16AndATrailingBackslashIsTheDefault) {
  const std::string key = kScratch + "\\연결\\Connection";
  ASSERT_TRUE(WriteRegString(HKEY_LOCAL_MACHINE, key + "\\Name", "로컬 영역 연결"));
  ASSERT_TRUE(WriteRegString(HKEY_LOCAL_MACHINE, key + "\\", "default"));
  EXPECT_EQ(Stored(key + "\\Name", REG_SZ), std::wstring(L"로컬 영역 연결", 9));
  EXPECT_EQ(Stored(key + "\\", REG_SZ), std::wstring(L"default", 8));
  std::string text;
  EXPECT_TRUE(ReadRegString(HKEY_LOCAL_MACHINE, key + "\\Name", text));
  EXPECT_EQ(text, "로컬 영역 연결");
  EXPECT_TRUE(ReadRegString(HKEY_LOCAL_MACHINE, key + "\\", text));
  EXPECT_EQ(text, "default");
}

TEST_F(RegistryValues, StringReadsKeepEveryStoredCharacterAndRefuseOtherTypes) {
  // Ten characters and no NUL: the system adds one when the next character in memory is NUL.
  ASSERT_TRUE(WriteRegValue(HKEY_LOCAL_MACHINE, kScratch + "\\Bare", REG_SZ, L"C:\\WINDOWS!", 20));
  ASSERT_TRUE(WriteRegValue(HKEY_LOCAL_MACHINE, kScratch + "\\Empty", REG_SZ, L"", 0));
  ASSERT_TRUE(WriteRegValue(HKEY_LOCAL_MACHINE, kScratch + "\\Expand", REG_EXPAND_SZ,
                            L"%SystemRoot%", sizeof L"%SystemRoot%"));
  ASSERT_TRUE(WriteRegDword(HKEY_LOCAL_MACHINE, kScratch + "\\Number", 0x01020304));

  std::string text;
  for (const auto& [name, read, expected] :
       {std::tuple{"\\Bare", true, "C:\\WINDOWS"}, std::tuple{"\\Empty", true, ""},
        std::tuple{"\\Expand", false, ""}, std::tuple{"\\Number", false, ""},
        std::tuple{"\\Missing", false, ""}, std::tuple{"\\NoSuchKey\\Name", false, ""}}) {
    text = "stale";
    EXPECT_EQ(ReadRegString(HKEY_LOCAL_MACHINE, kScratch + name, text), read) << name;
    EXPECT_EQ(text, expected) << name;
  }
  EXPECT_FALSE(ReadRegMultiString(HKEY_LOCAL_MACHINE, kScratch + "\\Bare", text));
}

TEST_F(RegistryValues, MultiStringsHoldOneEntryAndReadBackWithOneNulPerEntry) {
  // How the entry is stored (with the list's end, an empty one too) is the TCP/IP cases'.
  ASSERT_TRUE(WriteRegMultiString(HKEY_LOCAL_MACHINE, kScratch + "\\IPAddress", "10.0.0.1"));
  std::string text;
  EXPECT_TRUE(ReadRegMultiString(HKEY_LOCAL_MACHINE, kScratch + "\\IPAddress", text));
  EXPECT_EQ(text, std::string("10.0.0.1\0", 9));

  // Stored without the list's final NUL: no character is lost.
  ASSERT_TRUE(WriteRegValue(HKEY_LOCAL_MACHINE, kScratch + "\\Unfinished", REG_MULTI_SZ,
                            L"\\Device\\Tcpip_{1}", 36));
  EXPECT_TRUE(ReadRegMultiString(HKEY_LOCAL_MACHINE, kScratch + "\\Unfinished", text));
  EXPECT_EQ(text, std::string("\\Device\\Tcpip_{1}\0", 18));
}

TEST_F(RegistryValues, EnumeratesSubkeysJoinedByCrLf) {
  std::string list = "stale";
  EXPECT_FALSE(EnumRegSubkeys(HKEY_LOCAL_MACHINE, kScratch, list));
  EXPECT_EQ(list, "");
  ASSERT_TRUE(WriteRegString(HKEY_LOCAL_MACHINE, kScratch + "\\Value", "x"));  // no subkey
  EXPECT_TRUE(EnumRegSubkeys(HKEY_LOCAL_MACHINE, kScratch, list));
  EXPECT_EQ(list, "");
  // Created in alphabetical order, which is also the order Windows enumerates in.
  for (const char* name : {"Descriptions", "{4D36E972}", "{가}"})
    ASSERT_TRUE(WriteRegString(HKEY_LOCAL_MACHINE, kScratch + "\\" + name + "\\Deeper\\", ""));
  EXPECT_TRUE(EnumRegSubkeys(HKEY_LOCAL_MACHINE, kScratch, list));
  EXPECT_EQ(list, "Descriptions\r\n{4D36E972}\r\n{가}");
}

const char* const kControlSets[] = {"ControlSet001", "ControlSet002", "CurrentControlSet"};

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
