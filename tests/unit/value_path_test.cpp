#include "netcfg/value_path.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <tuple>

#include "netcfg/console_command.h"

namespace tavi {
namespace {

using namespace std::string_view_literals;

TEST(SplitValuePath, SplitsAtTheLastBackslash) {
  for (const auto& [path, key, name] :
       {std::tuple{"SOFTWARE\\Microsoft\\Windows NT\\SystemRoot", "SOFTWARE\\Microsoft\\Windows NT",
                   "SystemRoot"},
        std::tuple{"SOFTWARE\\Tavi\\", "SOFTWARE\\Tavi", ""},  // the default value
        std::tuple{"\\Value", "", "Value"}}) {
    const auto split = SplitValuePath(path);
    ASSERT_TRUE(split) << path;
    EXPECT_EQ(split->keyPath, key);
    EXPECT_EQ(split->valueName, name);
  }
  EXPECT_FALSE(SplitValuePath("SystemRoot"));
  EXPECT_FALSE(SplitValuePath(""));
}

TEST(RegStringText, DropsOnlyATerminatingNul) {
  EXPECT_EQ(RegStringText("C:\\WINDOWS\0"sv), "C:\\WINDOWS"sv);
  EXPECT_EQ(RegStringText("C:\\WINDOWS"sv), "C:\\WINDOWS"sv);  // stored without one
  EXPECT_EQ(RegStringText(""sv), ""sv);
  EXPECT_EQ(RegStringText(u"가\0"sv), u"가"sv);
}

TEST(RegMultiStringText, KeepsOneNulAfterEveryEntry) {
  EXPECT_EQ(RegMultiStringText("a\0b\0\0"sv), "a\0b\0"sv);
  EXPECT_EQ(RegMultiStringText("a\0b\0"sv), "a\0b\0"sv);  // stored without the list's end
  EXPECT_EQ(RegMultiStringText("a\0b"sv), "a\0b"sv);
  EXPECT_EQ(RegMultiStringText("\0"sv), ""sv);      // the empty list
  EXPECT_EQ(RegMultiStringText("\0\0"sv), "\0"sv);  // one empty entry
}

TEST(ConsoleCommand, DriveRootOfTheWindowsFolder) {
  EXPECT_EQ(DriveRootOf("d:\\winnt"), "d:\\");
  EXPECT_EQ(DriveRootOf("E:"), "E:\\");
  EXPECT_EQ(DriveRootOf("\\\\server\\share\\windows"), "");
  EXPECT_EQ(DriveRootOf("1:\\x"), "");
}

}  // namespace
}  // namespace tavi
