#include "netcfg/value_path.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "netcfg/console_command.h"

namespace tavi {
namespace {

using namespace std::string_view_literals;

TEST(FindLastChar, CountsFromOneAndAnswersZeroWhenAbsent) {
  EXPECT_EQ(FindLastChar('\\', "a\\b\\c"), 4u);
  EXPECT_EQ(FindLastChar('\\', "\\"), 1u);
  EXPECT_EQ(FindLastChar('\\', "abc"), 0u);
  EXPECT_EQ(FindLastChar('\\', ""), 0u);
}

TEST(SplitValuePath, SplitsAtTheLastBackslash) {
  const auto path = SplitValuePath("SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\SystemRoot");
  ASSERT_TRUE(path);
  EXPECT_EQ(path->keyPath, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion");
  EXPECT_EQ(path->valueName, "SystemRoot");

  const auto byDefault = SplitValuePath("SOFTWARE\\Tavi\\");
  ASSERT_TRUE(byDefault);
  EXPECT_EQ(byDefault->keyPath, "SOFTWARE\\Tavi");
  EXPECT_EQ(byDefault->valueName, "");

  const auto atRoot = SplitValuePath("\\Value");
  ASSERT_TRUE(atRoot);
  EXPECT_EQ(atRoot->keyPath, "");
  EXPECT_EQ(atRoot->valueName, "Value");

  EXPECT_FALSE(SplitValuePath("SystemRoot"));
  EXPECT_FALSE(SplitValuePath(""));
}

TEST(RegStringText, DropsOnlyATerminatingNul) {
  EXPECT_EQ(RegStringText("C:\\WINDOWS\0"sv), "C:\\WINDOWS"sv);
  EXPECT_EQ(RegStringText("C:\\WINDOWS"sv), "C:\\WINDOWS"sv);  // stored without one
  EXPECT_EQ(RegStringText(""sv), ""sv);
  EXPECT_EQ(RegStringText("\0"sv), ""sv);
  EXPECT_EQ(RegStringText(u"가\0"sv), u"가"sv);
}

TEST(RegMultiStringText, KeepsOneNulAfterEveryEntry) {
  EXPECT_EQ(RegMultiStringText("a\0b\0\0"sv), "a\0b\0"sv);
  EXPECT_EQ(RegMultiStringText("a\0b\0"sv), "a\0b\0"sv);  // stored without the list's end
  EXPECT_EQ(RegMultiStringText("a\0b"sv), "a\0b"sv);
  EXPECT_EQ(RegMultiStringText("\0"sv), ""sv);  // the empty list
  EXPECT_EQ(RegMultiStringText(""sv), ""sv);
  EXPECT_EQ(RegMultiStringText("\0\0"sv), "\0"sv);  // one empty entry
}

TEST(ConsoleCommand, DriveRootOfTheWindowsFolder) {
  EXPECT_EQ(DriveRootOf("C:\\WINDOWS"), "C:\\");
  EXPECT_EQ(DriveRootOf("d:\\winnt"), "d:\\");
  EXPECT_EQ(DriveRootOf("E:"), "E:\\");
  EXPECT_EQ(DriveRootOf("\\\\server\\share\\windows"), "");
  EXPECT_EQ(DriveRootOf("1:\\x"), "");
  EXPECT_EQ(DriveRootOf(""), "");
}

}  // namespace
}  // namespace tavi
