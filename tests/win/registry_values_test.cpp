// The registry value helpers against the real registry of the test's Wine prefix, inside a
// scratch key that each test starts without and leaves behind removed.
#include <gtest/gtest.h>
#include <shlwapi.h>

#include <string>
#include <tuple>
#include <vector>

#include "netcfg/registry_values_win32.h"
#include "win/text_win32.h"

namespace tavi {
namespace {

const std::string kScratch = "SOFTWARE\\TaviRegistryTest";

class RegistryValues : public ::testing::Test {
 protected:
  void SetUp() override { RemoveScratch(); }
  void TearDown() override { RemoveScratch(); }
  static void RemoveScratch() { ::SHDeleteKeyW(HKEY_LOCAL_MACHINE, Utf8ToWide(kScratch).c_str()); }

  // The stored data in UTF-16 units, when the value has that type; "-" otherwise.
  static std::wstring Stored(const std::string& valuePath, DWORD type) {
    std::vector<BYTE> data;
    if (!ReadRegValue(HKEY_LOCAL_MACHINE, valuePath, type, data)) return L"-";
    return std::wstring(reinterpret_cast<const wchar_t*>(data.data()), data.size() / 2);
  }
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
  ASSERT_TRUE(WriteRegMultiString(HKEY_LOCAL_MACHINE, kScratch + "\\IPAddress", "10.0.0.1"));
  ASSERT_TRUE(WriteRegMultiString(HKEY_LOCAL_MACHINE, kScratch + "\\DefaultGateway", ""));
  EXPECT_EQ(Stored(kScratch + "\\IPAddress", REG_MULTI_SZ), std::wstring(L"10.0.0.1\0\0", 10));
  EXPECT_EQ(Stored(kScratch + "\\DefaultGateway", REG_MULTI_SZ), std::wstring(2, L'\0'));
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

}  // namespace
}  // namespace tavi
