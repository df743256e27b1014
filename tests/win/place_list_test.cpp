// The place list on the real window under Wine, one user's story per test: the list box,
// Profiles, the INI file's bytes (written by the real private-profile functions) and the
// controls are checked together.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "profiles/private_profile_win32.h"
#include "profiles/profile_store.h"
#include "win/handle.h"
#include "win/message_loop_win32.h"
#include "window_test.h"

namespace tavi {
namespace {

using enum ControlId;
using Names = std::vector<std::string>;

class PlaceListTest : public test::WindowTest {
 protected:
  // (Re)opens the window on the test's file, with the test's connections in cmbNIC.
  void Open() {
    test::WindowTest::Open(Options(), /*show=*/false);
    const HWND nic = frm_->Control(cmbNIC);
    ::SendMessageW(nic, CB_RESETCONTENT, 0, 0);
    for (const char* name : {"로컬 영역 연결", "Wi-Fi", "WI-FI", "랜Ω"})
      ::SendMessageW(nic, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Utf8ToWide(name).c_str()));
    frm_->Show(SW_SHOW);
    ProcessMessages();
  }

  void Type(ControlId field, std::string_view text) { frm_->SetText(field, text); }
  // The user's own choices, which the controls report as changes.
  void UserSelects(int index) { UserChooses(listboxPlace, LB_SETCURSEL, LBN_SELCHANGE, index); }
  void UserPicks(int index) { UserChooses(cmbNIC, CB_SETCURSEL, CBN_SELCHANGE, index); }
  void UserChooses(ControlId id, UINT select, WORD notification, int index) {
    ::SendMessageW(frm_->Control(id), select, static_cast<WPARAM>(index), 0);
    ::SendMessageW(frm_->Handle(), WM_COMMAND, MAKEWPARAM(id, notification),
                   reinterpret_cast<LPARAM>(frm_->Control(id)));
  }
  int Connection() const {
    return static_cast<int>(::SendMessageW(frm_->Control(cmbNIC), CB_GETCURSEL, 0, 0));
  }
  bool Enabled(ControlId id) const { return ::IsWindowEnabled(frm_->Control(id)) != 0; }

  // The list box, Profiles and the notification-area menu name the same places in the same
  // order; the move buttons follow the selection (after Add they keep their state:
  // buttonsFollow false).
  void ExpectList(const Names& names, int selected, bool buttonsFollow = true) {
    const HWND list = frm_->Control(listboxPlace);
    Names places;
    for (const TNetworkInfo& p : frm_->Profiles)
      places.push_back(p.Place);
    EXPECT_EQ(test::Items(list), names);
    EXPECT_EQ(places, names);
    Names menu = names;
    menu.insert(menu.end(), {"", "열기", "닫기"});
    EXPECT_EQ(TrayMenu(), menu);
    EXPECT_EQ(::SendMessageW(list, LB_GETCURSEL, 0, 0), selected);
    if (!buttonsFollow) return;
    EXPECT_EQ(Enabled(btnMoveUp), selected > 0);
    EXPECT_EQ(Enabled(btnMoveDown), selected < static_cast<int>(names.size()) - 1);
  }
  std::vector<int> Orders() const {
    std::vector<int> orders;
    for (const TNetworkInfo& p : frm_->Profiles)
      orders.push_back(p.Order);
    return orders;
  }

  // Save, with the box that says it saved the named place.
  void Save(std::string_view name) {
    Click(btnSave);
    ExpectBox(std::string("[").append(name).append("]에 대한 정보를 저장하였습니다."), "저장 완료",
              MB_OK | MB_ICONINFORMATION);
  }
  void ExpectRefused(std::string_view text) { ExpectBox(text, "Tavi", MB_OK | MB_ICONEXCLAMATION); }
  // Delete, with the question that names the place, answered.
  void Delete(std::string_view name, int answer = IDYES) {
    prompts_.answers = {answer};
    Click(btnDelete);
    ExpectBox(std::string("[").append(name).append("]에 대한 정보를 삭제 하시겠습니까?"),
              "삭제 확인", MB_YESNO | MB_ICONQUESTION);
  }
};

constexpr char kOfficeAndHome[] =
    "[회사]\r\nNIC=로컬 영역 연결\r\nIP=192.168.10.25\r\nSubNetMask=255.255.255.0\r\n"
    "GateWay=192.168.10.1\r\n1stDNS=192.168.10.53\r\n2ndDNS=\r\nOrder=1\r\n"
    "[집]\r\nNIC=Wi-Fi\r\nIP=\r\nSubNetMask=\r\nGateWay=\r\n1stDNS=\r\n2ndDNS=\r\nOrder=2\r\n";

TEST_F(PlaceListTest, AddAStaticPlaceRefusedWithoutMaskThenSavedLast) {
  WriteIni(kOfficeAndHome);
  Open();
  Click(btnAdd);
  EXPECT_EQ(frm_->Text(edtIP), "");
  EXPECT_TRUE(frm_->IsChecked(rdoDHCP) && frm_->IsChecked(rdoAutoDNS));
  EXPECT_EQ(::GetFocus(), frm_->Control(edtPlace));
  EXPECT_TRUE(Enabled(btnMoveDown) && !Enabled(btnMoveUp));  // the buttons stay

  Type(edtPlace, "카페");
  UserPicks(1);
  Click(rdoIP);  // forces manual DNS
  Type(edtIP, "10.1.2.3");
  Type(edt1stDNS, "1.1.1.1");
  const std::string before = Ini();
  Click(btnSave);
  ExpectRefused("어댑터에는 적어도 IP 주소가 하나 필요합니다. IP 주소를 입력하십시오.");
  EXPECT_EQ(::GetFocus(), frm_->Control(edtIP));
  EXPECT_EQ(Ini(), before);
  ExpectList({"회사", "집"}, -1);
  EXPECT_TRUE(frm_->Adding);

  Type(edtSubNetMask, "255.0.0.0");
  Save("카페");
  ExpectList({"회사", "집", "카페"}, 2);
  EXPECT_FALSE(frm_->Adding);
  EXPECT_EQ(Ini(), before +
                       "[카페]\r\nNIC=Wi-Fi\r\nIP=10.1.2.3\r\nSubNetMask=255.0.0.0\r\nGateWay=\r\n"
                       "1stDNS=1.1.1.1\r\n2ndDNS=\r\n");
  EXPECT_EQ(Orders(), (std::vector<int>{0, 1, 2}));
}

TEST_F(PlaceListTest, SelectShowsWhatTheFileHoldsNow) {
  WriteIni(
      "[대소문자]\r\nNIC=wi-fi\r\nOrder=0\r\n"
      "[그리스]\r\nNIC=랜ω\r\nIP=10.0.0.5\r\nSubNetMask=255.0.0.0\r\n1stDNS=\r\n"
      "2ndDNS=8.8.4.4\r\nOrder=1\r\n"
      "[사라진 연결]\r\nNIC=옛 연결\r\nIP=\r\n1stDNS=9.9.9.9\r\nOrder=2\r\n"
      "[지울 곳]\r\nNIC=Wi-Fi\r\nIP=1.2.3.4\r\nSubNetMask=255.0.0.0\r\nOrder=3\r\n");
  Open();
  EXPECT_EQ(Connection(), 1);  // the upper of two items that differ from it only in case
  EXPECT_FALSE(Enabled(btnSave));

  // A static address without a primary DNS server: the fourth state, the secondary server
  // shown in its disabled field. Greek letters match across case too.
  Click(btnAdd);
  UserSelects(1);
  EXPECT_FALSE(frm_->Adding);
  EXPECT_EQ(Connection(), 3);
  EXPECT_TRUE(frm_->IsChecked(rdoIP) && frm_->IsChecked(rdoAutoDNS));
  EXPECT_FALSE(Enabled(rdoAutoDNS) || Enabled(edt2ndDNS) || Enabled(btnSave));
  EXPECT_EQ(frm_->Text(edt2ndDNS), "8.8.4.4");

  // A connection that is gone: nothing selected.
  UserSelects(2);
  EXPECT_EQ(Connection(), -1);
  EXPECT_TRUE(frm_->IsChecked(rdoDHCP) && frm_->IsChecked(rdoNextDNS));

  // A section removed behind the program's back: the name, and nothing else.
  WriteIni("[대소문자]\r\nNIC=wi-fi\r\nOrder=0\r\n");
  UserSelects(3);
  EXPECT_EQ(frm_->Text(edtPlace), "지울 곳");
  EXPECT_EQ(frm_->Text(edtIP) + frm_->Text(edtSubNetMask) + frm_->Text(edt1stDNS), "");
  EXPECT_EQ(Connection(), -1);
}

TEST_F(PlaceListTest, SavingListedAndRenamedPlaces) {
  // The office: a static address, automatic DNS with a secondary server left in the file.
  const std::string office =
      "NIC=로컬 영역 연결\r\nIP=192.168.10.25\r\nSubNetMask=255.255.255.0\r\n"
      "GateWay=192.168.10.1\r\n1stDNS=\r\n";
  WriteIni("[회사]\r\n" + office +
           "2ndDNS=8.8.8.8\r\nOrder=0\r\n"
           "[집]\r\nNIC=옛 연결\r\nIP=10.0.0.9\r\nSubNetMask=255.0.0.0\r\nGateWay=\r\n"
           "1stDNS=1.1.1.1\r\n2ndDNS=\r\nOrder=1\r\n");
  Open();

  // DHCP and automatic DNS while the fields still hold text, and no connection: all six keys
  // are written empty; the fields keep what they had.
  UserSelects(1);
  Click(rdoDHCP);
  Click(rdoAutoDNS);
  Save("집");
  EXPECT_EQ(frm_->Text(edtIP), "10.0.0.9");
  ExpectList({"회사", "집"}, 1);
  const std::string ini = Ini();
  EXPECT_EQ(ini.substr(ini.find("[집]")),
            "[집]\r\nNIC=\r\nIP=\r\nSubNetMask=\r\nGateWay=\r\n1stDNS=\r\n2ndDNS=\r\nOrder=1\r\n");

  // After Add, a listed name saves that place: no new entry, its entry selected.
  Click(btnAdd);
  Type(edtPlace, "집");
  UserPicks(1);
  Save("집");
  ExpectList({"회사", "집"}, 1);
  EXPECT_FALSE(frm_->Adding);

  // A renamed place is a new one at the end; the old section stays. Shown with automatic DNS,
  // it is saved with both DNS keys empty.
  UserSelects(0);
  Type(edtPlace, "본사");
  Save("본사");
  ExpectList({"회사", "집", "본사"}, 2);
  EXPECT_EQ(Orders(), (std::vector<int>{0, 1, 2}));

  // Renamed to another listed name: that place is saved and selected, so that a Delete now
  // would erase what the fields show.
  Type(edtPlace, "집");
  Save("집");
  ExpectList({"회사", "집", "본사"}, 1);

  EXPECT_EQ(Ini(), "[회사]\r\n" + office + "2ndDNS=8.8.8.8\r\nOrder=0\r\n[집]\r\n" + office +
                       "2ndDNS=\r\nOrder=1\r\n[본사]\r\n" + office + "2ndDNS=\r\n");
}

constexpr char kFourPlaces[] =
    "[회사]\r\nNIC=Wi-Fi\r\nOrder=0\r\n[집]\r\nNIC=Wi-Fi\r\nOrder=1\r\n"
    "[카페]\r\nNIC=Wi-Fi\r\nOrder=2\r\n[도서관]\r\nNIC=Wi-Fi\r\nOrder=3\r\n";

// Every move writes every place's position (read back at a restart: the refused-writes case).
TEST_F(PlaceListTest, MovesKeepTheEditAndWriteTheOrder) {
  WriteIni(kFourPlaces);
  Open();
  UserSelects(1);
  Type(edtGateWay, "10.0.0.1");  // an edit in progress, not saved

  ::SetFocus(frm_->Control(btnMoveUp));
  Click(btnMoveUp);
  ExpectList({"집", "회사", "카페", "도서관"}, 0);
  EXPECT_EQ(::GetFocus(), frm_->Control(listboxPlace));  // the button it left is disabled
  frm_->btnMoveUpClick();                                // at the top: nothing
  for (int i = 0; i < 4; ++i)
    frm_->btnMoveDownClick();  // the last one at the bottom: nothing
  ExpectList({"회사", "카페", "도서관", "집"}, 3);
  EXPECT_EQ(Orders(), (std::vector<int>{0, 1, 2, 3}));
  EXPECT_EQ(frm_->Text(edtGateWay), "10.0.0.1");
  EXPECT_TRUE(Enabled(btnSave));

  // After Add nothing is selected: the up button still looks live, but neither move acts.
  Click(btnAdd);
  frm_->btnMoveUpClick();
  frm_->btnMoveDownClick();
  ExpectList({"회사", "카페", "도서관", "집"}, -1, /*buttonsFollow=*/false);
  EXPECT_TRUE(Enabled(btnMoveUp) && !Enabled(btnMoveDown));

  EXPECT_EQ(Ini(),
            "[회사]\r\nNIC=Wi-Fi\r\nOrder=0\r\n[집]\r\nNIC=Wi-Fi\r\nOrder=3\r\n"
            "[카페]\r\nNIC=Wi-Fi\r\nOrder=1\r\n[도서관]\r\nNIC=Wi-Fi\r\nOrder=2\r\n");
}

TEST_F(PlaceListTest, DeleteAfterMovesThenTheLastPlace) {
  WriteIni(kFourPlaces);
  Open();
  Click(btnMoveDown);
  ExpectList({"집", "회사", "카페", "도서관"}, 1);

  // The question names the edited name; No keeps everything.
  Type(edtPlace, "본사");
  const std::string before = Ini();
  Delete("본사", IDNO);
  EXPECT_EQ(Ini(), before);
  ExpectList({"집", "회사", "카페", "도서관"}, 1);

  // Yes erases the selected entry's section, then the first place is shown.
  Delete("본사");
  ExpectList({"집", "카페", "도서관"}, 0);
  EXPECT_EQ(Orders(), (std::vector<int>{0, 2, 3}));  // not renumbered
  EXPECT_EQ(frm_->Text(edtPlace), "집");
  EXPECT_FALSE(Enabled(btnSave));

  // With nothing selected, Yes changes nothing.
  Click(btnAdd);
  Delete("");
  ExpectList({"집", "카페", "도서관"}, -1);

  // A later move writes the positions of the remaining places only.
  UserSelects(2);
  Click(btnMoveUp);
  ExpectList({"집", "도서관", "카페"}, 1);
  EXPECT_EQ(Ini(),
            "[집]\r\nNIC=Wi-Fi\r\nOrder=0\r\n"
            "[카페]\r\nNIC=Wi-Fi\r\nOrder=2\r\n[도서관]\r\nNIC=Wi-Fi\r\nOrder=1\r\n");

  // Down to the last place, and that one too: the fields keep its values.
  for (int left = 3; left > 0; --left) {
    UserSelects(left - 1);
    prompts_.answers = {IDYES};
    Click(btnDelete);
  }
  ExpectList(Names{}, -1);
  EXPECT_EQ(frm_->Text(edtPlace), "집");
  EXPECT_FALSE(Enabled(btnSave));
  EXPECT_EQ(Ini(), "");
}

// A file edited by hand may name a section twice, also in another letter case; the file reads
// only the first. Each name is one place, and a deleted place stays gone.
TEST_F(PlaceListTest, RepeatedSectionNamesAreOnePlaceAndADeletedPlaceStaysGone) {
  WriteIni(
      "[A]\r\nNIC=Wi-Fi\r\nOrder=0\r\n[B]\r\nOrder=1\r\n[A]\r\nNIC=랜Ω\r\nOrder=2\r\n"
      "[C]\r\nOrder=3\r\n");
  Open();
  ExpectList({"A", "B", "C"}, 0);
  EXPECT_EQ(Connection(), 1);  // the first [A]'s
  UserSelects(1);              // B
  Click(btnMoveUp);
  UserSelects(0);  // B
  Delete("B");
  UserSelects(1);  // C
  Click(btnMoveUp);
  ExpectList({"C", "A"}, 0);
  // The second [A] is left as it was: only the place's first section is its own.
  EXPECT_EQ(Ini(),
            "[A]\r\nNIC=Wi-Fi\r\nOrder=1\r\n[A]\r\nNIC=랜Ω\r\nOrder=2\r\n[C]\r\nOrder=0\r\n");

  // Deleting a place removes every section of its name, whatever the letter case.
  WriteIni("[Home]\r\nOrder=0\r\n[Work]\r\nOrder=1\r\n[HOME]\r\nNIC=Wi-Fi\r\nOrder=2\r\n");
  Open();
  ExpectList({"Home", "Work"}, 0);
  Delete("Home");
  Open();
  ExpectList({"Work"}, 0);
  EXPECT_EQ(Ini(), "[Work]\r\nOrder=1\r\n");
}

TEST_F(PlaceListTest, NamesTheFileCannotHoldAreRefusedFromAnEmptyWindowOn) {
  Open();  // no file yet
  UserPicks(1);
  const std::string notHoldable =
      "사용환경 이름에는 대괄호([ ])와 줄 바꿈 같은 제어 문자를 쓸 수 없으며, "
      "이름 앞뒤에 공백을 둘 수 없습니다.";
  // The rules are tested natively; here the box, the focus, no file, and the real code page.
  const std::pair<const char*, std::string> refused[] = {
      {"[집]", notHoldable},
      {"카페ก", "사용환경 이름에 이 시스템의 문자 코드에 없는 문자는 쓸 수 없습니다: ก"}};
  for (const auto& [name, text] : refused) {
    SCOPED_TRACE(name);
    Type(edtPlace, name);
    ASSERT_EQ(frm_->Text(edtPlace), name);
    Click(btnSave);
    ExpectRefused(text);
    EXPECT_EQ(::GetFocus(), frm_->Control(edtPlace));
    EXPECT_FALSE(test::FileExists(ini_));
  }

  // A name typed into the empty window, saved without Add, is the first place.
  Type(edtPlace, "Home");
  Save("Home");
  ExpectList({"Home"}, 0);
  Click(btnAdd);
  Type(edtPlace, "Ωmega");
  Save("Ωmega");

  // The file would take a name differing only in case (Greek too) for the same section.
  Click(btnAdd);
  Type(edtPlace, "ωMEGA");
  Click(btnSave);
  ExpectRefused(
      "이름이 대소문자만 다른 사용환경 [Ωmega]이(가) 이미 있습니다. 다른 이름을 입력하세요.");
  EXPECT_TRUE(frm_->Adding);
  ExpectList({"Home", "Ωmega"}, -1, /*buttonsFollow=*/false);
  const std::string keys = "NIC=Wi-Fi\r\nIP=\r\nSubNetMask=\r\nGateWay=\r\n1stDNS=\r\n2ndDNS=\r\n";
  EXPECT_EQ(Ini(), "[Home]\r\n" + keys + "[Ωmega]\r\n" + keys);
}

TEST_F(PlaceListTest, RefusedWritesLeaveTheListAndProfilesInStep) {
  WriteIni(kOfficeAndHome);
  Open();
  UserSelects(1);
  const std::string before = Ini();
  const std::string refusal = "Unable to write to " + ini_;
  {
    // Held open without sharing, the file refuses every write.
    Handle lock(::CreateFileW(Utf8ToWide(ini_).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(lock);

    // The move is done on screen and in memory; the moved place stays selected.
    Click(btnMoveUp);
    ExpectBox(refusal, "Tavi", MB_OK | MB_ICONERROR);
    ExpectList({"집", "회사"}, 0);

    prompts_.answers = {IDYES};
    Click(btnDelete);
    prompts_.shown.erase(prompts_.shown.begin());  // the question
    ExpectBox(refusal, "Tavi", MB_OK | MB_ICONERROR);
    ExpectList({"집", "회사"}, 0);

    Click(btnAdd);
    Type(edtPlace, "카페");
    Click(btnSave);
    ExpectBox(refusal, "Tavi", MB_OK | MB_ICONERROR);
    ExpectList({"집", "회사"}, -1);
    EXPECT_TRUE(frm_->Adding);
  }
  EXPECT_EQ(Ini(), before);

  // Once the file takes writes again, the same Save and a move go through.
  Save("카페");
  ExpectList({"집", "회사", "카페"}, 2);
  Click(btnMoveUp);
  Open();
  ExpectList({"집", "카페", "회사"}, 0);
}

// The private-profile functions cut values to their buffers; the store reads them whole (and
// names beyond any fixed buffer: the end-to-end suite's 10 000 places).
TEST_F(PlaceListTest, LongValuesAndHandWrittenLinesAreReadAsTheSystemReadsThem) {
  const std::string longValue(5000, 'v');
  // Lines as a hand writes them: the load reads a place in one go, and must read what a read
  // of each key gives.
  WriteIni("[long]\r\nNIC=" + longValue +
           "\r\nOrder=0\r\n"
           "[hand]\r\n;NIC=x\r\n nic = \"Wi-Fi\" \r\nIP='10.0.0.1'\r\nip=10.0.0.2\r\nGATEWAY\r\n"
           "GateWay=1.1.1.1\r\nSubNetMask=\"\r\n1stDNS=\"a\"b\"\r\n2ndDNS = \t\r\nOrder= 1 \r\n");
  PrivateProfileStore ini(ini_);
  const TProfileList list = LoadProfiles(ini);
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[0].NIC, longValue);
  const TNetworkInfo hand = ReadProfile(ini, "hand");
  EXPECT_EQ(list[1].Place, "hand");
  for (const ProfileKey& key : kProfileKeys)
    EXPECT_EQ(list[1].*key.field, hand.*key.field) << key.name;
  EXPECT_EQ(hand.NIC + hand.IP + hand.SubNetMask, "Wi-Fi10.0.0.1\"");
}

}  // namespace
}  // namespace tavi
