#include "profiles/profile_list.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "fake_ini_store.h"
#include "profiles/profile_store.h"

namespace tavi {
namespace {

TEST(MoveRules, ButtonsAndTargetsAtTheEdgesAndWithoutSelection) {
  struct Case {
    int selected, count;
    MoveButtonStates buttons;
    int up, down;
  };
  const Case cases[] = {
      {-1, 0, {false, false}, -1, -1},  // empty list
      {-1, 3, {false, true}, -1, -1},   // after Add: down looks live, but moves nothing
      {0, 1, {false, false}, -1, -1},  {0, 3, {false, true}, -1, 1},
      {1, 3, {true, true}, 0, 2},      {2, 3, {true, false}, 1, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.selected << " of " << c.count);
    EXPECT_EQ(MoveButtonRule(c.selected, c.count), c.buttons);
    EXPECT_EQ(MoveTarget(c.selected, c.count, MoveDirection::Up), c.up);
    EXPECT_EQ(MoveTarget(c.selected, c.count, MoveDirection::Down), c.down);
  }
}

TEST(MoveRules, RecordsFollowTheExchangedEntriesAndTheFileGetsEveryOrder) {
  test::FakeIniStore ini;
  for (const char* name : {"회사", "집", "카페", "New"})
    ini.Add(name, {{"NIC", "lan"}});
  TProfileList profiles = LoadProfiles(ini);
  std::vector<std::string> entries{"회사", "집", "카페", "New"};

  std::swap(entries[2], entries[3]);  // New moves up
  RenumberToEntries(profiles, entries);
  std::swap(entries[0], entries[1]);  // 집 moves up
  RenumberToEntries(profiles, entries);
  WriteProfileOrders(profiles, ini);

  ASSERT_EQ(profiles.size(), 4u);
  for (size_t i = 0; i < entries.size(); ++i) {
    EXPECT_EQ(profiles[i].Place, entries[i]);
    EXPECT_EQ(profiles[i].Order, static_cast<int>(i));
  }
  EXPECT_EQ(ini.ReadString("New", "Order"), "2");
  EXPECT_EQ(ini.ReadString("집", "Order"), "0");
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
