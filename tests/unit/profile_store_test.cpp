#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_ini_store.h"
#include "profiles/integer_text.h"
#include "profiles/profile_store.h"

namespace tavi {
namespace {

TEST(ParseInt32, AcceptsDecimalWithBlanksAndSign) {
  EXPECT_EQ(ParseInt32("0"), 0);
  EXPECT_EQ(ParseInt32("  42"), 42);
  EXPECT_EQ(ParseInt32("-7"), -7);
  EXPECT_EQ(ParseInt32("+7"), 7);
  EXPECT_EQ(ParseInt32("2147483647"), 2147483647);
  EXPECT_EQ(ParseInt32("-2147483648"), INT32_MIN);
  EXPECT_EQ(ParseInt32("007"), 7);
}

TEST(ParseInt32, AcceptsEveryHexPrefixInEitherCase) {
  EXPECT_EQ(ParseInt32("0x10"), 16);
  EXPECT_EQ(ParseInt32("0X1f"), 31);
  EXPECT_EQ(ParseInt32("x10"), 16);
  EXPECT_EQ(ParseInt32("X10"), 16);
  EXPECT_EQ(ParseInt32("$aB"), 0xAB);
  EXPECT_EQ(ParseInt32("0x7fffffff"), 0x7fffffff);
  // Eight hexadecimal digits are a 32-bit pattern.
  EXPECT_EQ(ParseInt32("$FFFFFFFF"), -1);
  EXPECT_EQ(ParseInt32("$80000000"), INT32_MIN);
  EXPECT_EQ(ParseInt32(" -$10"), -16);
}

TEST(ParseInt32, RefusesJunkAndOutOfRange) {
  for (const char* text : {"", " ", "-", "+", "$", "0x", "x", "abc", "1a", "12 ", " 1 2", "1.5",
                           "2147483648", "-2147483649", "$100000000", "0x1FFFFFFFF", "\t1", "--1",
                           "99999999999999999999"}) {
    EXPECT_EQ(ParseInt32(text), std::nullopt) << '"' << text << '"';
  }
  EXPECT_EQ(StrToIntDef("abc", -1), -1);
  EXPECT_EQ(StrToIntDef("", 0), 0);
}

TEST(IniPath, ReplacesTheExtensionOfTheFileNameOnly) {
  EXPECT_EQ(IniPathForExecutable("C:\\Tools\\Tavi.exe"), "C:\\Tools\\Tavi.ini");
  EXPECT_EQ(IniPathForExecutable("C:\\Tools\\tavi-copy.EXE"), "C:\\Tools\\tavi-copy.ini");
  EXPECT_EQ(IniPathForExecutable("C:\\Tools\\tavi"), "C:\\Tools\\tavi.ini");
  EXPECT_EQ(IniPathForExecutable("C:\\my.tools\\tavi"), "C:\\my.tools\\tavi.ini");
  EXPECT_EQ(IniPathForExecutable("C:\\a\\tavi.backup.exe"), "C:\\a\\tavi.backup.ini");
}

TNetworkInfo Place(std::string name, std::int32_t order) {
  TNetworkInfo info;
  info.Place = std::move(name);
  info.Order = order;
  return info;
}

std::vector<std::string> Names(const TProfileList& list) {
  std::vector<std::string> names;
  for (const TNetworkInfo& info : list) names.push_back(info.Place);
  return names;
}

TEST(LoadProfiles, SortsNumericallyAndRenumbersInMemoryOnly) {
  test::FakeIniStore ini;
  // Stored out of order; 10 must come after 9, not after 1.
  for (int order : {10, 3, 0, 7, 1, 9, 2, 8, 4, 6, 5}) {
    ini.Add("p" + std::to_string(order), {{"Order", std::to_string(order)}});
  }
  const TProfileList list = LoadProfiles(ini);
  ASSERT_EQ(list.size(), 11u);
  for (size_t i = 0; i < list.size(); ++i) {
    EXPECT_EQ(list[i].Place, "p" + std::to_string(i));
    EXPECT_EQ(list[i].Order, static_cast<int>(i));
  }
  EXPECT_EQ(ini.writes, 0);
}

TEST(LoadProfiles, ReadsEveryFieldAndTreatsMissingOrBadOrderAsZero) {
  test::FakeIniStore ini;
  ini.Add("office", {{"NIC", "LAN"},
                     {"IP", "10.0.0.5"},
                     {"SubNetMask", "255.0.0.0"},
                     {"GateWay", "10.0.0.1"},
                     {"1stDNS", "10.0.0.53"},
                     {"2ndDNS", "10.0.0.54"},
                     {"Order", "5"}});
  ini.Add("hex", {{"Order", "0x10"}});
  ini.Add("home", {{"Order", "2"}});
  ini.Add("cafe");                     // no Order: sorts as 0
  ini.Add("junk", {{"Order", "abc"}});  // not a number: 0 as well
  const TProfileList list = LoadProfiles(ini);
  ASSERT_EQ(list.size(), 5u);
  // Both zeros come first (their relative order is the sort's), then 2, 5, 16.
  EXPECT_EQ(list[2].Place, "home");
  EXPECT_EQ(list[3].Place, "office");
  EXPECT_EQ(list[4].Place, "hex");
  EXPECT_EQ(list[3].NIC, "LAN");
  EXPECT_EQ(list[3].IP, "10.0.0.5");
  EXPECT_EQ(list[3].SubNetMask, "255.0.0.0");
  EXPECT_EQ(list[3].GateWay, "10.0.0.1");
  EXPECT_EQ(list[3].FirstDNS, "10.0.0.53");
  EXPECT_EQ(list[3].SecondDNS, "10.0.0.54");
  EXPECT_EQ(list[0].Order, 0);
  EXPECT_EQ(list[4].Order, 4);
}

TEST(LoadProfiles, GapsAndEqualOrdersGiveTheSameListEveryTime) {
  test::FakeIniStore ini;
  ini.Add("five", {{"Order", "5"}});
  ini.Add("zero", {{"Order", "0"}});
  ini.Add("two", {{"Order", "2"}});
  EXPECT_EQ(Names(LoadProfiles(ini)), (std::vector<std::string>{"zero", "two", "five"}));
  EXPECT_EQ(ini.ReadString("five", "Order"), "5");  // the file keeps its gaps

  test::FakeIniStore ties;
  for (const char* name : {"a", "b", "c", "d", "e", "f", "g"}) ties.Add(name, {{"Order", "1"}});
  ties.Add("first", {{"Order", "-1"}});
  const auto once = Names(LoadProfiles(ties));
  EXPECT_EQ(once.front(), "first");
  for (int run = 0; run < 3; ++run) EXPECT_EQ(Names(LoadProfiles(ties)), once);
}

TEST(ProfileOrders, FindIsExactAndWriteCoversEveryRecord) {
  TProfileList list{Place("Home", 0), Place("home", 1)};
  EXPECT_EQ(FindProfile(list, "home"), 1);
  EXPECT_EQ(FindProfile(list, "HOME"), -1);
  EXPECT_EQ(FindProfile(list, ""), -1);

  test::FakeIniStore ini;
  ini.Add("Office");
  TProfileList two{Place("Office", 0), Place("Cafe", 1)};
  WriteProfileOrders(two, ini);
  EXPECT_EQ(ini.ReadString("Office", "Order"), "0");
  EXPECT_EQ(ini.ReadString("Cafe", "Order"), "1");
  EXPECT_EQ(ini.writes, 2);
}

}  // namespace
}  // namespace tavi
