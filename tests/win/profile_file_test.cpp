// The profile store against the real private-profile functions.
#include <gtest/gtest.h>

#include <string>

#include "profiles/private_profile_win32.h"
#include "profiles/profile_store.h"
#include "win/handle.h"
#include "win/text_win32.h"
#include "win_test_support.h"

namespace tavi {
namespace {

TEST(ProfileFile, WritesAnsiTextWithCrLfSectionsInCreationOrderAndErasesWholeSections) {
  ASSERT_EQ(::GetACP(), 949u) << "the suites run under the Korean locale";
  test::TempDir dir;
  PrivateProfileStore ini(dir.File("tavi.ini"));
  EXPECT_TRUE(LoadProfiles(ini).empty());
  EXPECT_FALSE(test::FileExists(ini.Path()));  // reading creates no file
  ini.WriteString("회사", "NIC", "로컬 영역 연결");
  ini.WriteString("회사", "IP", "");
  ini.WriteString("Gone", "IP", "1.2.3.4");
  ini.WriteString("Gone", "NIC", "LAN");
  ini.WriteString("Home", "NIC", "LAN");
  ini.WriteInteger("회사", "Order", 1);
  ini.EraseSection("Gone");

  EXPECT_EQ(test::ReadFileBytes(ini.Path()),
            Utf8ToCodePage(
                "[회사]\r\nNIC=로컬 영역 연결\r\nIP=\r\nOrder=1\r\n[Home]\r\nNIC=LAN\r\n", 949));
  EXPECT_EQ(ini.ReadSections(), (std::vector<std::string>{"회사", "Home"}));
  EXPECT_EQ(ini.ReadString("회사", "NIC"), "로컬 영역 연결");
  EXPECT_EQ(ini.ReadInteger("회사", "Order", 0), 1);
}

TEST(ProfileFile, ARefusedWriteOrEraseRaisesUnableToWrite) {
  test::TempDir dir;
  PrivateProfileStore ini(dir.File("tavi.ini"));
  ini.WriteString("a", "NIC", "x");
  {
    // Held open without sharing, the file refuses every write (root ignores read-only).
    Handle lock(::CreateFileW(Utf8ToWide(ini.Path()).c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                              nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(lock);
    try {
      ini.WriteString("a", "IP", "1.2.3.4");
      FAIL() << "the write went through";
    } catch (const IniWriteError& error) {
      EXPECT_EQ(std::string(error.what()), "Unable to write to " + ini.Path());
    }
    EXPECT_THROW(ini.EraseSection("a"), IniWriteError);
  }
  // A folder standing where the file should be.
  PrivateProfileStore folder(dir.Path());
  EXPECT_THROW(folder.WriteString("a", "NIC", "x"), IniWriteError);
}

TEST(ProfileFile, LongNamesAndValuesAreReadWhole) {
  test::TempDir dir;
  const std::string path = dir.File("many.ini");
  // 200 sections of 100-byte names: 20 KB of names, beyond any fixed 16 KB buffer.
  std::string text;
  for (int i = 0; i < 200; ++i) {
    std::string name = "place-" + std::to_string(i);
    name.resize(100, 'x');
    text += "[" + name + "]\r\nOrder=" + std::to_string(i) + "\r\n";
  }
  const std::string longValue(5000, 'v');
  text += "[long]\r\nNIC=" + longValue + "\r\nOrder=200\r\n";
  test::WriteFileBytes(path, text);

  PrivateProfileStore ini(path);
  const TProfileList list = LoadProfiles(ini);
  ASSERT_EQ(list.size(), 201u);
  EXPECT_EQ(list[199].Place, "place-199" + std::string(91, 'x'));
  EXPECT_EQ(list[200].NIC, longValue);
}

}  // namespace
}  // namespace tavi
