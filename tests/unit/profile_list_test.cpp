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
  const TProfileList reloaded = LoadProfiles(ini);
  for (size_t i = 0; i < entries.size(); ++i)
    EXPECT_EQ(reloaded[i].Place, entries[i]);
  EXPECT_EQ(ini.ReadString("New", "Order"), "2");
}

class PlanSaveTest : public ::testing::Test {
 protected:
  // The test's file holds what is not "ก" and ignores ASCII case, as a Korean system would.
  ProfileFileText file_{[](std::string_view c) { return c != "ก"; },
                        [](std::string_view a, std::string_view b) {
                          return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                                            [](char x, char y) {
                                              return std::tolower(static_cast<unsigned char>(x)) ==
                                                     std::tolower(static_cast<unsigned char>(y));
                                            });
                        }};
  std::vector<std::string> entries_{"Home", "회사"};

  SavePlan Plan(std::string name, bool staticIp = false, std::string mask = "255.0.0.0") {
    EditedProfile edited;
    edited.name = std::move(name);
    edited.staticIp = staticIp;
    edited.dhcp = !staticIp;
    edited.ip = "10.0.0.2";
    edited.subNetMask = std::move(mask);
    return PlanSave(edited, entries_, file_);
  }
};

TEST_F(PlanSaveTest, AListedNameSavesItsEntryAnyOtherAppends) {
  SavePlan plan = Plan("회사");
  EXPECT_EQ(plan.check, SaveCheck::Ok);
  EXPECT_EQ(plan.listed, 1);
  EXPECT_FALSE(plan.appends);

  plan = Plan("카페");
  EXPECT_EQ(plan.check, SaveCheck::Ok);
  EXPECT_EQ(plan.listed, -1);
  EXPECT_TRUE(plan.appends);

  // Names with blanks inside, and with punctuation the file does not mind.
  for (const char* name : {"내 집", "a=b", ";x", "#1", "C:\\net"}) {
    EXPECT_EQ(Plan(name).check, SaveCheck::Ok) << name;
  }
}

TEST_F(PlanSaveTest, RefusesNamesTheFileCannotGiveBackExactly) {
  EXPECT_EQ(Plan("").check, SaveCheck::EmptyName);
  for (const char* name : {"[집]", "a]b", "a[b", "a\r\nb", "a\nb", "tab\tin", " 집", "집 ",
                           "\u3000집", "del\x7f", "c1\u0085"}) {
    EXPECT_EQ(Plan(name).check, SaveCheck::UnholdableName) << name;
  }
  SavePlan plan = Plan("กก집ก");
  EXPECT_EQ(plan.check, SaveCheck::UnstorableCharacters);
  EXPECT_EQ(plan.detail, "ก");
  EXPECT_EQ(SaveRefusalText(plan),
            "사용환경 이름에 이 시스템의 문자 코드에 없는 문자는 쓸 수 없습니다: ก");

  plan = Plan("HOME");
  EXPECT_EQ(plan.check, SaveCheck::CaseTwin);
  EXPECT_EQ(plan.detail, "Home");
  EXPECT_EQ(SaveRefusalText(plan),
            "이름이 대소문자만 다른 사용환경 [Home]이(가) 이미 있습니다. 다른 이름을 입력하세요.");

  // The name is judged before the address, and the address only for a static one.
  EXPECT_EQ(Plan("[x]", true, "").check, SaveCheck::UnholdableName);
  EXPECT_EQ(Plan("Home", true, "").check, SaveCheck::MissingAddress);
  EXPECT_EQ(Plan("Home", false, "").check, SaveCheck::Ok);
}

TEST(SaveProfile, DhcpAndAutomaticDnsWriteEmptyKeysInTheOrderOfANewSection) {
  EditedProfile edited{"집",      "로컬 영역 연결", "10.0.0.2", "255.0.0.0", "10.0.0.1",
                       "1.1.1.1", "8.8.8.8",        true,       false,       true};
  test::FakeIniStore ini;
  ini.Add("집", {{"Order", "3"}, {"IP", "old"}});
  WriteProfile(ProfileToSave(edited), ini);
  const std::vector<std::pair<std::string, std::string>> expected{
      {"Order", "3"}, {"IP", ""},    {"NIC", "로컬 영역 연결"}, {"SubNetMask", ""}, {"GateWay", ""},
      {"1stDNS", ""}, {"2ndDNS", ""}};
  EXPECT_EQ(ini.sections[0].keys, expected);

  edited.dhcp = false;
  edited.staticIp = true;
  edited.autoDns = false;
  const TNetworkInfo saved = ProfileToSave(edited);
  EXPECT_EQ(saved.IP, "10.0.0.2");
  EXPECT_EQ(saved.GateWay, "10.0.0.1");
  EXPECT_EQ(saved.SecondDNS, "8.8.8.8");
}

}  // namespace
}  // namespace tavi
