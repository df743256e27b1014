#include "app/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

namespace tavi {
namespace {

using Args = std::vector<std::string>;
using Kind = ArgumentAction::Kind;

TEST(CommandLineArguments, SeparatorsQuotesAndTheProgramName) {
  EXPECT_EQ(CommandLineArguments(""), Args{});
  EXPECT_EQ(CommandLineArguments("tavi.exe"), Args{});
  EXPECT_EQ(CommandLineArguments("\"C:\\Program Files\\Tavi\\tavi.exe\" /s 0"), (Args{"/s", "0"}));
  // Every character up to the space separates, runs of them count once.
  EXPECT_EQ(CommandLineArguments("tavi  /S\t1\r\n\x01$2 "), (Args{"/S", "1", "$2"}));
  // Quotes group and vanish wherever they stand; a backslash escapes nothing.
  EXPECT_EQ(CommandLineArguments("tavi \"a b\"c x\"y z\" \"C:\\dir\\\" 7"),
            (Args{"a bc", "xy z", "C:\\dir\\", "7"}));
  EXPECT_EQ(CommandLineArguments("tavi \"\" \"unclosed 1"), (Args{"", "unclosed 1"}));
  EXPECT_EQ(CommandLineArguments("tavi 사무실 \"무선 연결\""), (Args{"사무실", "무선 연결"}));
}

TEST(ClassifyArgument, QuietSwitchIntegersAndEverythingElse) {
  // Integers are read as the profile file reads them (tested there).
  for (const char* argument : {"/s", "/S"})
    EXPECT_EQ(ClassifyArgument(argument, 3).kind, Kind::SetQuiet) << argument;
  for (const char* argument : {"/s ", "-s", "-1", "$FFFFFFFF", "abc", "2147483648"})
    EXPECT_EQ(ClassifyArgument(argument, 3).kind, Kind::Ignore) << argument;
  using Expected = std::tuple<const char*, Kind, int>;
  for (const auto& [argument, kind, index] :
       {Expected{"0", Kind::Apply, 0}, Expected{"$2", Kind::Apply, 2},
        Expected{"3", Kind::NotFound, 3}, Expected{"-3", Kind::NotFound, -3},
        Expected{"0x7fffffff", Kind::NotFound, 0x7fffffff}}) {
    const ArgumentAction action = ClassifyArgument(argument, 3);
    EXPECT_EQ(action.kind, kind) << argument;
    EXPECT_EQ(action.index, index) << argument;
  }
  EXPECT_EQ(ClassifyArgument("0", 0).kind, Kind::NotFound);
  EXPECT_EQ(PlaceNotFoundText("$7"), "사용 환경을 찾을 수 없습니다.\r\rindex: $7");
}

}  // namespace
}  // namespace tavi
