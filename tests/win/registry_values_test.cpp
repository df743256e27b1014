// The registry value helpers against the real registry of the test's Wine prefix, inside a
// scratch key that each test starts without and leaves behind removed.
#include <gtest/gtest.h>
#include <shlwapi.h>

#include <string>
#include <vector>

#include "netcfg/registry_values_win32.h"
#include "win/handle.h"
#include "win/text_win32.h"

namespace tavi {
namespace {

const std::string kScratch = "SOFTWARE\\TaviRegistryTest";

class RegistryValues : public ::testing::Test {
 protected:
  void SetUp() override { RemoveScratch(); }
  void TearDown() override { RemoveScratch(); }

  static void RemoveScratch() { ::SHDeleteKeyW(HKEY_LOCAL_MACHINE, Utf8ToWide(kScratch).c_str()); }

  // The stored bytes and type, read past the helpers; type REG_NONE when there is no value.
  static std::string RawValue(const std::string& keyPath, const wchar_t* name, DWORD& type,
                              bool ansi = false) {
    type = REG_NONE;
    RegKey key;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, Utf8ToWide(keyPath).c_str(), 0, KEY_READ, key.put()) !=
        ERROR_SUCCESS) {
      return {};
    }
    std::string data(4096, '\0');
    DWORD size = static_cast<DWORD>(data.size());
    LONG status;
    if (ansi) {
      const std::string narrow = name ? WideToUtf8(name) : std::string();
      status = ::RegQueryValueExA(key.get(), name ? narrow.c_str() : nullptr, nullptr, &type,
                                  reinterpret_cast<BYTE*>(data.data()), &size);
    } else {
      status = ::RegQueryValueExW(key.get(), name, nullptr, &type,
                                  reinterpret_cast<BYTE*>(data.data()), &size);
    }
    if (status != ERROR_SUCCESS) {
      type = REG_NONE;
      return {};
    }
    data.resize(size);
    return data;
  }

  static std::string Utf16Bytes(std::wstring_view text) {
    return std::string(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
  }
};

TEST_F(RegistryValues, APathWithoutBackslashNamesNothingAndTouchesNothing) {
  std::string text = "stale";
  std::vector<BYTE> data(3);
  EXPECT_FALSE(WriteRegString(HKEY_LOCAL_MACHINE, "TaviRegistryTest", "x"));
  EXPECT_FALSE(WriteRegMultiString(HKEY_LOCAL_MACHINE, "TaviRegistryTest", "x"));
  EXPECT_FALSE(WriteRegDword(HKEY_LOCAL_MACHINE, "TaviRegistryTest", 1));
  EXPECT_FALSE(ReadRegString(HKEY_LOCAL_MACHINE, "TaviRegistryTest", text));
  EXPECT_EQ(text, "");
  EXPECT_FALSE(ReadRegValue(HKEY_LOCAL_MACHINE, "TaviRegistryTest", REG_SZ, data));
  EXPECT_TRUE(data.empty());
  DWORD type;
  RawValue("", L"TaviRegistryTest", type);
  EXPECT_EQ(type, static_cast<DWORD>(REG_NONE));
  EXPECT_FALSE(RegKeyPresent(HKEY_LOCAL_MACHINE, "TaviRegistryTest"));
}

TEST_F(RegistryValues, WritesCreateMissingKeysAndStringsRoundTripInUtf16) {
  const std::string path = kScratch + "\\연결\\Connection\\Name";
  EXPECT_FALSE(RegKeyPresent(HKEY_LOCAL_MACHINE, kScratch));
  ASSERT_TRUE(WriteRegString(HKEY_LOCAL_MACHINE, path, "로컬 영역 연결"));
  EXPECT_TRUE(RegKeyPresent(HKEY_LOCAL_MACHINE, kScratch + "\\연결\\Connection"));

  DWORD type;
  EXPECT_EQ(RawValue(kScratch + "\\연결\\Connection", L"Name", type),
            Utf16Bytes(std::wstring_view(L"로컬 영역 연결", 9)));
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  // Programs reading through the ANSI functions see the system code page's bytes.
  EXPECT_EQ(RawValue(kScratch + "\\연결\\Connection", L"Name", type, true),
            Utf8ToCodePage("로컬 영역 연결", 949) + '\0');

  std::string text;
  EXPECT_TRUE(ReadRegString(HKEY_LOCAL_MACHINE, path, text));
  EXPECT_EQ(text, "로컬 영역 연결");
}

TEST_F(RegistryValues, ATrailingBackslashNamesTheDefaultValue) {
  ASSERT_TRUE(WriteRegString(HKEY_LOCAL_MACHINE, kScratch + "\\", "default"));
  DWORD type;
  EXPECT_EQ(RawValue(kScratch, nullptr, type), Utf16Bytes(std::wstring_view(L"default", 8)));
  std::string text;
  EXPECT_TRUE(ReadRegString(HKEY_LOCAL_MACHINE, kScratch + "\\", text));
  EXPECT_EQ(text, "default");
}

TEST_F(RegistryValues, StringReadsKeepEveryStoredCharacterAndRefuseOtherTypes) {
  const std::wstring_view unterminated = L"C:\\WINDOWS";
  ASSERT_TRUE(WriteRegValue(HKEY_LOCAL_MACHINE, kScratch + "\\Bare", REG_SZ, unterminated.data(),
                            static_cast<DWORD>(unterminated.size() * sizeof(wchar_t))));
  ASSERT_TRUE(WriteRegValue(HKEY_LOCAL_MACHINE, kScratch + "\\Empty", REG_SZ, L"", 0));
  ASSERT_TRUE(WriteRegValue(HKEY_LOCAL_MACHINE, kScratch + "\\Expand", REG_EXPAND_SZ,
                            L"%SystemRoot%", sizeof L"%SystemRoot%"));
  ASSERT_TRUE(WriteRegDword(HKEY_LOCAL_MACHINE, kScratch + "\\Number", 0x01020304));

  std::string text;
  EXPECT_TRUE(ReadRegString(HKEY_LOCAL_MACHINE, kScratch + "\\Bare", text));
  EXPECT_EQ(text, "C:\\WINDOWS");
  text = "stale";
  EXPECT_TRUE(ReadRegString(HKEY_LOCAL_MACHINE, kScratch + "\\Empty", text));
  EXPECT_EQ(text, "");
  for (const char* name : {"\\Expand", "\\Number", "\\Missing"}) {
    text = "stale";
    EXPECT_FALSE(ReadRegString(HKEY_LOCAL_MACHINE, kScratch + name, text)) << name;
    EXPECT_EQ(text, "") << name;
  }
  text = "stale";
  EXPECT_FALSE(ReadRegString(HKEY_LOCAL_MACHINE, kScratch + "\\NoSuchKey\\Name", text));
  EXPECT_EQ(text, "");

  std::vector<BYTE> data;
  EXPECT_TRUE(ReadRegValue(HKEY_LOCAL_MACHINE, kScratch + "\\Number", REG_DWORD, data));
  EXPECT_EQ(data, (std::vector<BYTE>{4, 3, 2, 1}));
  EXPECT_FALSE(ReadRegValue(HKEY_LOCAL_MACHINE, kScratch + "\\Number", REG_SZ, data));
  EXPECT_TRUE(data.empty());
}

TEST_F(RegistryValues, MultiStringsHoldOneEntryAndReadBackWithOneNulPerEntry) {
  ASSERT_TRUE(WriteRegMultiString(HKEY_LOCAL_MACHINE, kScratch + "\\IPAddress", "10.0.0.1"));
  DWORD type;
  EXPECT_EQ(RawValue(kScratch, L"IPAddress", type),
            Utf16Bytes(std::wstring_view(L"10.0.0.1\0\0", 10)));
  EXPECT_EQ(type, static_cast<DWORD>(REG_MULTI_SZ));
  // Through the ANSI functions: the text and two NULs, 10 bytes in all.
  EXPECT_EQ(RawValue(kScratch, L"IPAddress", type, true), std::string("10.0.0.1\0\0", 10));
  std::string text;
  EXPECT_TRUE(ReadRegMultiString(HKEY_LOCAL_MACHINE, kScratch + "\\IPAddress", text));
  EXPECT_EQ(text, std::string("10.0.0.1\0", 9));

  ASSERT_TRUE(WriteRegMultiString(HKEY_LOCAL_MACHINE, kScratch + "\\DefaultGateway", ""));
  EXPECT_EQ(RawValue(kScratch, L"DefaultGateway", type), std::string(4, '\0'));

  const std::wstring_view twoEntries(L"a\0b\0\0", 5);
  const std::wstring_view unfinished(L"\\Device\\Tcpip_{1}\0", 18);
  ASSERT_TRUE(
      WriteRegValue(HKEY_LOCAL_MACHINE, kScratch + "\\Two", REG_MULTI_SZ, twoEntries.data(), 10));
  ASSERT_TRUE(WriteRegValue(HKEY_LOCAL_MACHINE, kScratch + "\\Unfinished", REG_MULTI_SZ,
                            unfinished.data(), 36));
  EXPECT_TRUE(ReadRegMultiString(HKEY_LOCAL_MACHINE, kScratch + "\\Two", text));
  EXPECT_EQ(text, std::string("a\0b\0", 4));
  EXPECT_TRUE(ReadRegMultiString(HKEY_LOCAL_MACHINE, kScratch + "\\Unfinished", text));
  EXPECT_EQ(text, std::string("\\Device\\Tcpip_{1}\0", 18));

  ASSERT_TRUE(WriteRegString(HKEY_LOCAL_MACHINE, kScratch + "\\Plain", "a"));
  EXPECT_FALSE(ReadRegMultiString(HKEY_LOCAL_MACHINE, kScratch + "\\Plain", text));
  EXPECT_EQ(text, "");
}

TEST_F(RegistryValues, EnumeratesSubkeysJoinedByCrLf) {
  std::string list = "stale";
  EXPECT_FALSE(EnumRegSubkeys(HKEY_LOCAL_MACHINE, kScratch, list));
  EXPECT_EQ(list, "");

  ASSERT_TRUE(WriteRegString(HKEY_LOCAL_MACHINE, kScratch + "\\Value", "x"));
  list = "stale";
  EXPECT_TRUE(EnumRegSubkeys(HKEY_LOCAL_MACHINE, kScratch, list));
  EXPECT_EQ(list, "");  // values are not subkeys

  // Created in alphabetical order, which is also the order Windows enumerates in.
  for (const char* name : {"Descriptions", "{4D36E972}", "{가}"}) {
    ASSERT_TRUE(WriteRegString(HKEY_LOCAL_MACHINE, kScratch + "\\" + name + "\\Deeper\\", ""));
  }
  EXPECT_TRUE(EnumRegSubkeys(HKEY_LOCAL_MACHINE, kScratch, list));
  EXPECT_EQ(list, "Descriptions\r\n{4D36E972}\r\n{가}");
}

}  // namespace
}  // namespace tavi
