// The portable rules of profiles/: numbers as the INI file reads them, the file's path,
// loading and ordering the places, moves, and what Save does with a name.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "fake_ini_store.h"
#include "profiles/integer_text.h"
#include "profiles/profile_list.h"
#include "profiles/profile_store.h"

namespace tavi {
namespace {

TEST(IniPath, ReplacesTheExtensionOfTheFileNameOnly) {
  EXPECT_EQ(IniPathForExecutable("C:\\Tools\\tavi-copy.EXE"), "C:\\Tools\\tavi-copy.ini");
  EXPECT_EQ(IniPathForExecutable("C:\\my.tools\\tavi"), "C:\\my.tools\\tavi.ini");
  EXPECT_EQ(IniPathForExecutable("C:\\a\\tavi.backup.exe"), "C:\\a\\tavi.backup.ini");
}

std::vector<std::string> Names(const TProfileList& list) {
  std::vector<std::string> names;
  for (const TNetworkInfo& info : list)
    names.push_back(info.Place);
  return names;
}

TEST(LoadProfiles, ReadsEveryFieldMissingOrBadOrderIsZeroGapsStayInTheFile) {
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
  ini.Add("cafe");                      // no Order: sorts as 0
  ini.Add("junk", {{"Order", "abc"}});  // not a number: 0 as well
  const TProfileList list = LoadProfiles(ini);
  ASSERT_EQ(list.size(), 5u);
  // Both zeros come first (their relative order is the sort's), then 2, 5, 16.
  const std::vector<std::string> names = Names(list);
  EXPECT_EQ(std::vector(names.begin() + 2, names.end()),
            (std::vector<std::string>{"home", "office", "hex"}));
  const TNetworkInfo& office = list[3];
  EXPECT_EQ(std::vector({office.NIC, office.IP, office.SubNetMask, office.GateWay, office.FirstDNS,
                         office.SecondDNS}),
            (std::vector<std::string>{"LAN", "10.0.0.5", "255.0.0.0", "10.0.0.1", "10.0.0.53",
                                      "10.0.0.54"}));
  EXPECT_EQ(list[4].Order, 4);
  EXPECT_EQ(ini.ReadString("office", "Order"), "5");  // the file keeps its gaps
  EXPECT_EQ(ini.writes, 0);
}

TEST(ProfileOrders, AnExchangeRenumbersByPositionAndTheWriteCoversEveryRecord) {
  TProfileList list(3);
  list[0].Place = "Home";
  list[1].Place = "Cafe";
  list[2].Place = "Office";
  list[2].Order = 7;
  ExchangeProfiles(list, 0, 1);
  EXPECT_EQ(Names(list), (std::vector<std::string>{"Cafe", "Home", "Office"}));
  test::FakeIniStore ini;
  WriteProfileOrders(list, ini);
  EXPECT_EQ(ini.ReadString("Cafe", "Order"), "0");
  EXPECT_EQ(ini.ReadString("Home", "Order"), "1");
  EXPECT_EQ(ini.ReadString("Office", "Order"), "2");
  EXPECT_EQ(ini.writes, 3);
}

// With a place selected, the order fuzz oracle and the list's own moves check the rules.
TEST(MoveRules, WithoutASelectionNothingMoves) {
  EXPECT_EQ(MoveButtonRule(-1, 0), (MoveButtonStates{false, false}));
  EXPECT_EQ(MoveButtonRule(-1, 3), (MoveButtonStates{false, true}));  // after Add: looks live
  for (const MoveDirection direction : {MoveDirection::Up, MoveDirection::Down})
    EXPECT_EQ(MoveTarget(-1, 3, direction), -1);
}

// Names are judged with a file that holds everything but "ก" and ignores ASCII case.
SavePlan Plan(std::string name, bool staticIp = false, std::string mask = "255.0.0.0") {
  static const std::vector<std::string> entries{"Home", "회사"};
  const ProfileFileText file{[](std::string_view c) { return c != "ก"; },
                             [](std::string_view a, std::string_view b) {
                               return std::ranges::equal(a, b, [](char x, char y) {
                                 return std::tolower(static_cast<unsigned char>(x)) ==
                                        std::tolower(static_cast<unsigned char>(y));
                               });
                             }};
  EditedProfile edited;
  edited.Place = std::move(name);
  edited.StaticChosen = staticIp;
  edited.IP = "10.0.0.2";
  edited.SubNetMask = std::move(mask);
  return PlanSave(edited, entries, file);
}

TEST(PlanSave, AListedNameSavesItsEntryAHoldableNewNameAppends) {
  const SavePlan listed = Plan("회사");
  EXPECT_EQ(listed.check, SaveCheck::Ok);
  EXPECT_EQ(listed.listed, 1);
  EXPECT_FALSE(listed.appends);
  for (const char* name : {"카페", "내 집", "a=b", ";x", "#1", "C:\\net"}) {
    const SavePlan plan = Plan(name);
    EXPECT_EQ(plan.check, SaveCheck::Ok) << name;
    EXPECT_TRUE(plan.appends && plan.listed == -1) << name;
  }
}

TEST(PlanSave, RefusesWhatTheFileCannotGiveBackExactlyBeforeLookingAtTheAddress) {
  EXPECT_EQ(Plan("").check, SaveCheck::EmptyName);
  for (const char* name : {"[집]", "a]b", "a[b", "a\r\nb", "tab\tin", " 집", "집 ", "\u3000집",
                           "del\x7f", "c1\u0085"}) {
    EXPECT_EQ(Plan(name, true, "").check, SaveCheck::UnholdableName) << name;
  }
  SavePlan plan = Plan("กก집ก");
  EXPECT_EQ(plan.check, SaveCheck::UnstorableCharacters);
  EXPECT_EQ(plan.detail, "ก");
  plan = Plan("HOME");
  EXPECT_EQ(plan.check, SaveCheck::CaseTwin);
  EXPECT_EQ(plan.detail, "Home");
  EXPECT_EQ(Plan("Home", true, "").check, SaveCheck::MissingAddress);
  EXPECT_EQ(Plan("Home", false, "").check, SaveCheck::Ok);
}

}  // namespace
}  // namespace tavi
