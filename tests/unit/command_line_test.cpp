#include "app/command_line.h"

#include <gtest/gtest.h>

#include <string>
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
  struct Case {
    const char* argument;
    Kind kind;
    int index;
  };
  const Case cases[] = {
      {"/s", Kind::SetQuiet, -1},
      {"/S", Kind::SetQuiet, -1},
      {"/s ", Kind::Ignore, -1},
      {"-s", Kind::Ignore, -1},
      {"0", Kind::Apply, 0},
      {"2", Kind::Apply, 2},
      {"$1", Kind::Apply, 1},
      {"0x2", Kind::Apply, 2},
      {"x0", Kind::Apply, 0},
      {" +1", Kind::Apply, 1},
      {"3", Kind::NotFound, 3},
      {"-3", Kind::NotFound, -3},
      {"0x7fffffff", Kind::NotFound, 0x7fffffff},
      {"-1", Kind::Ignore, -1},
      {"$FFFFFFFF", Kind::Ignore, -1},
      {"2147483648", Kind::Ignore, -1},
      {"abc", Kind::Ignore, -1},
      {"1a", Kind::Ignore, -1},
      {"", Kind::Ignore, -1},
      {"$100000000", Kind::Ignore, -1},
  };
  for (const Case& c : cases) {
    const ArgumentAction action = ClassifyArgument(c.argument, 3);
    EXPECT_EQ(action.kind, c.kind) << '"' << c.argument << '"';
    if (c.kind == Kind::Apply || c.kind == Kind::NotFound) {
      EXPECT_EQ(action.index, c.index) << '"' << c.argument << '"';
    }
  }
  EXPECT_EQ(ClassifyArgument("0", 0).kind, Kind::NotFound);
  EXPECT_EQ(PlaceNotFoundText("$7"), "사용 환경을 찾을 수 없습니다.\r\rindex: $7");
}

}  // namespace
}  // namespace tavi
