// Applying a profile in the real window under Wine, with the recording netsh.exe (and net.exe)
// first on the search path, a temporary folder with a blank in its name, and the connection
// read back from a stand-in that the test sets (the real reader has its cases in
// win_netcfg_test, and tavi.exe's read-back its end-to-end ones).
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "app/main_layout.h"
#include "netcfg/apply_profile.h"
#include "netcfg/registry_values_win32.h"
#include "win/message_loop_win32.h"
#include "window_test.h"

namespace tavi {
namespace {

using enum ControlId;

class ApplyTest : public test::WindowTest {
 protected:
  void SetUp() override {
    for (const std::string& folder : {bin_, record_, temp_})
      ::CreateDirectoryW(Utf8ToWide(folder).c_str(), nullptr);
    for (const char* name : {"\\netsh.exe", "\\net.exe"})
      test::CopyRequired("TAVI_RECORDING_NETSH_EXE", bin_ + name);
    ReadRegString(HKEY_LOCAL_MACHINE, kSystemRootValuePath, systemRoot_);
    OpenWindow();
  }

  // (Re)opens the window with the connections LAN and one of blanks, and these arguments.
  void OpenWindow(std::vector<std::string> arguments = {}) {
    TfrmMainOptions options = Options();
    options.arguments = std::move(arguments);
    options.readConnection = [this](const std::string& connection) {
      readNames_.push_back(connection);
      if (onRead_) onRead_();
      return live_;
    };
    options.settle = {std::chrono::milliseconds(400), std::chrono::milliseconds(400),
                      std::chrono::milliseconds(50)};
    Open(std::move(options), /*show=*/false);
    for (const wchar_t* name : {L"LAN", L"   "})
      ::SendMessageW(frm_->Control(cmbNIC), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    ::SendMessageW(frm_->Control(cmbNIC), CB_SETCURSEL, 0, 0);
    // What the window shows while its box is up.
    prompts_.onShow = [this](const test::ScriptedPrompts::Prompt&) {
      progressAtBox_ = frm_->StatusText(kProgressPanel);
      waitCursorAtBox_ = ::GetCursor() == ::LoadCursorW(nullptr, IDC_WAIT);
      scriptAtBox_ = test::FileExists(ScriptPath());
    };
    frm_->Show(SW_SHOW);
    ProcessMessages();
  }
  void TearDown() override {
    frm_.reset();  // while the members its connection reader and prompts reach still live
    WriteRegString(HKEY_LOCAL_MACHINE, kSystemRootValuePath, systemRoot_);
  }

  // A double-click on the list with Shift and Ctrl held as the thread's key state says.
  void DoubleClick(bool shift, bool control) {
    BYTE keys[256] = {};
    ::GetKeyboardState(keys);
    keys[VK_SHIFT] = shift ? 0x80 : 0;
    keys[VK_CONTROL] = control ? 0x80 : 0;
    ::SetKeyboardState(keys);
    ::SendMessageW(frm_->Handle(), WM_COMMAND,
                   MAKEWPARAM(static_cast<int>(listboxPlace), LBN_DBLCLK),
                   reinterpret_cast<LPARAM>(frm_->Control(listboxPlace)));
    keys[VK_SHIFT] = keys[VK_CONTROL] = 0;
    ::SetKeyboardState(keys);
  }

  void FillStatic() {
    frm_->SetChecked(rdoIP);
    frm_->SetText(edtIP, "10.1.2.3");
    frm_->SetText(edtSubNetMask, "255.255.255.0");
  }

  void Apply() { Click(btnApplyNetWork); }

  std::string Commands() const { return test::ReadFileBytes(record_ + "\\commands.txt"); }
  std::string Script(int n) const {
    return test::ReadFileBytes(record_ + "\\script-" + std::to_string(n) + ".dat");
  }
  std::string ScriptPath() const { return temp_ + "\\nic.dat"; }

  const std::string bin_ = dir_.File("bin");
  const std::string record_ = dir_.File("record");
  const std::string temp_ = dir_.File("temp folder");
  test::ScopedEnvironment path_{"PATH", bin_ + ";" + test::EnvironmentValue("PATH")};
  test::ScopedEnvironment tmp_{"TMP", temp_};
  test::ScopedEnvironment recordVariable_{"TAVI_RECORD_DIR", record_};
  // What the connection shows: FillStatic's values.
  LiveConnection live_{
      LiveConnection::Status::Found, false, {{0x0A010203, 0xFFFFFF00, false}}, {}, {}};
  std::function<void()> onRead_;
  std::vector<std::string> readNames_;
  std::string systemRoot_;
  std::string progressAtBox_;
  bool waitCursorAtBox_ = true;
  bool scriptAtBox_ = true;
};

constexpr UINT kInformation = MB_OK | MB_ICONINFORMATION;
constexpr UINT kExclamation = MB_OK | MB_ICONEXCLAMATION;

// The rules of both checks are tested natively; here the window's answers to them.
TEST_F(ApplyTest, ChecksAndAnUnwritableScriptStopTheApplyBeforeAnythingChanges) {
  frm_->SetStatusText(kProgressPanel, "before");
  const HWND nic = frm_->Control(cmbNIC);
  ::SendMessageW(nic, CB_SETCURSEL, 1, 0);  // an item of blanks only
  Apply();
  ExpectBox("네트워크 연결을 선택해 주십시오.", "Tavi", kExclamation);
  EXPECT_TRUE(::SendMessageW(nic, CB_GETDROPPEDSTATE, 0, 0));  // the list opened for a pick
  ::SendMessageW(nic, CB_SHOWDROPDOWN, FALSE, 0);
  ::SendMessageW(nic, CB_SETCURSEL, 0, 0);
  FillStatic();
  frm_->SetText(edtSubNetMask, "");
  Apply();
  ExpectBox("어댑터에는 적어도 IP 주소가 하나 필요합니다. IP 주소를 입력하십시오.", "Tavi",
            kExclamation);
  EXPECT_EQ(frm_->StatusText(kProgressPanel), "before");

  // A script that cannot be written is reported, with the busy state undone.
  ASSERT_TRUE(::CreateDirectoryW(Utf8ToWide(ScriptPath()).c_str(), nullptr));
  frm_->SetText(edtSubNetMask, "255.255.255.0");
  Apply();
  ExpectBox("Unable to write to " + ScriptPath(), "Tavi", MB_OK | MB_ICONERROR);
  EXPECT_EQ(progressAtBox_, "before");
  EXPECT_FALSE(waitCursorAtBox_);
  EXPECT_EQ(Commands(), "");
}

TEST_F(ApplyTest, OnASystemRootWith386TheRegistryPathRunsBetweenNetStopAndStart) {
  ASSERT_TRUE(WriteRegString(HKEY_LOCAL_MACHINE, kSystemRootValuePath, "C:\\WIN386"));
  frm_->SetText(edtPlace, "집");
  FillStatic();
  Apply();
  // This prefix has no NetBT binding, so no adapter can be written: a failure, whatever the
  // connection shows.
  ASSERT_EQ(prompts_.shown.size(), 1u);
  EXPECT_TRUE(prompts_.shown[0].text.starts_with("변경 실패\r\r레지스트리에 설정을 모두 쓰지는"));
  EXPECT_EQ(prompts_.shown[0].flags, kInformation);
  prompts_.shown.clear();
  EXPECT_EQ(frm_->StatusText(kProgressPanel), "변경 실패");

  // With an adapter bound, the static values of the window go into its keys.
  ASSERT_TRUE(WriteRegMultiString(HKEY_LOCAL_MACHINE,
                                  "SYSTEM\\ControlSet001\\Services\\NetBT\\Linkage\\Bind",
                                  "\\Device\\Tcpip_{C1}"));
  Apply();
  ExpectBox("[집](으)로 네트워크 연결을 설정하였습니다.", "설정 완료", kInformation);
  std::string address;
  EXPECT_TRUE(ReadRegMultiString(HKEY_LOCAL_MACHINE,
                                 "SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters\\"
                                 "Interfaces\\{C1}\\IPAddress",
                                 address));
  EXPECT_EQ(address, std::string("10.1.2.3\0", 9));
  EXPECT_EQ(Commands(), "net stop dhcp\r\nnet start dhcp\r\nnet stop dhcp\r\nnet start dhcp\r\n");
}

// A double-click applies the place; the notification-area menu and the command line apply
// one as a double-click does: the same script, box and Quiet. Ctrl makes every later apply
// quiet, Shift closes. The tooltip and the menu tell which place was applied last; after a
// failure, that it failed, with no place checked.
TEST_F(ApplyTest, DoubleClickMenuAndCommandLineApplyAPlaceAlikeCtrlQuietensShiftCloses) {
  using Names = std::vector<std::string>;
  WriteIni(
      "[집]\r\nNIC=lan\r\nOrder=0\r\n"
      "[사무실]\r\nNIC=LAN\r\nIP=10.1.2.3\r\nSubNetMask=255.255.255.0\r\nOrder=1\r\n");
  OpenWindow();
  const HWND list = frm_->Control(listboxPlace);
  const std::string applied = "[사무실](으)로 네트워크 연결을 설정하였습니다.";
  ::SendMessageW(list, LB_SETCURSEL, 1, 0);  // the click before the double-click
  frm_->listboxPlaceClick();
  DoubleClick(false, false);
  ExpectBox(applied, "설정 완료", kInformation);
  EXPECT_EQ(progressAtBox_, "완료");
  EXPECT_FALSE(waitCursorAtBox_);
  EXPECT_FALSE(scriptAtBox_);
  EXPECT_EQ(readNames_, std::vector<std::string>{"LAN"});  // matched at once
  const std::string script = Script(1);
  ASSERT_NE(script, "");

  // With 집 shown and edited, and the window minimised: 사무실 as the file holds it, and the
  // window stays where it is.
  ::SendMessageW(list, LB_SETCURSEL, 0, 0);
  frm_->listboxPlaceClick();
  frm_->SetText(edtIP, "10.9.9.9");
  ::ShowWindow(frm_->Handle(), SW_MINIMIZE);
  EXPECT_EQ(TrayMenu(1), (Names{"집", "사무실*", "", "열기", "닫기"}));
  ExpectBox(applied, "설정 완료", kInformation);
  EXPECT_EQ(Script(2), script);
  EXPECT_EQ(::SendMessageW(list, LB_GETCURSEL, 0, 0), 1);
  EXPECT_TRUE(::IsIconic(frm_->Handle()));
  EXPECT_EQ(trayCalls_.back().tip, "Tavi - 사무실");

  EXPECT_FALSE(frm_->Quiet);
  DoubleClick(false, true);
  EXPECT_TRUE(frm_->Quiet);
  Apply();
  EXPECT_TRUE(prompts_.shown.empty());
  EXPECT_EQ(Script(4), script);

  // 집 wants DHCP, which the connection never shows. While its apply waits, the menu offers no
  // place; Quiet keeps its box away.
  Names meanwhile;
  onRead_ = [&] {
    if (meanwhile.empty()) meanwhile = TrayMenu();
  };
  TrayMenu(0);
  EXPECT_EQ(meanwhile, (Names{"집-", "사무실*-", "", "열기", "닫기"}));
  EXPECT_TRUE(prompts_.shown.empty());
  EXPECT_EQ(trayCalls_.back().tip, "Tavi - 집 (변경 실패)");
  onRead_ = nullptr;
  EXPECT_EQ(TrayMenu(), (Names{"집", "사무실", "", "열기", "닫기"}));

  // Shift: the window closes after the apply, even one stopped by a check.
  ::SendMessageW(frm_->Control(cmbNIC), CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
  DoubleClick(true, false);
  ExpectBox("네트워크 연결을 선택해 주십시오.", "Tavi", kExclamation);
  EXPECT_EQ(frm_->Handle(), nullptr);

  // By name from the command line (its script, box and exit code have end-to-end cases): the
  // icon stands while it applies, then goes with the window.
  frm_.reset();
  trayCalls_.clear();
  OpenWindow({"/s", "사무실"});
  EXPECT_EQ(frm_->Handle(), nullptr);
  ASSERT_EQ(trayCalls_.size(), 3u);
  EXPECT_EQ(trayCalls_[1].tip, "Tavi - 사무실");
  EXPECT_EQ(trayCalls_[2].message, static_cast<DWORD>(NIM_DELETE));
}

// The wait for the connection processes messages: the status bar counts down, a second apply
// is refused, a close waits for the end. Then the connection shows the values: success.
TEST_F(ApplyTest, TheWindowStaysResponsiveWhileTheApplyWaitsForTheConnection) {
  FillStatic();
  frm_->SetText(edtPlace, "사무실");
  live_.dhcp = true;  // not yet
  std::string progressWhileWaiting;
  onRead_ = [&] {
    if (readNames_.size() == 2) {
      progressWhileWaiting = frm_->StatusText(kProgressPanel);
      ::PostMessageW(frm_->Control(btnApplyNetWork), BM_CLICK, 0, 0);
      ::PostMessageW(frm_->Handle(), WM_CLOSE, 0, 0);
    }
    if (readNames_.size() == 3) live_.dhcp = false;
  };
  bool openAtBox = false;
  prompts_.onShow = [&](const test::ScriptedPrompts::Prompt&) {
    openAtBox = ::IsWindow(frm_->Handle());
  };
  EXPECT_EQ(frm_->ApplyNetWork(), ApplyOutcome::Applied);
  EXPECT_TRUE(progressWhileWaiting.starts_with("설정 확인 중... ")) << progressWhileWaiting;
  EXPECT_EQ(readNames_.size(), 3u);
  ExpectBox("[사무실](으)로 네트워크 연결을 설정하였습니다.", "설정 완료", kInformation);
  EXPECT_TRUE(openAtBox);
  EXPECT_EQ(frm_->Handle(), nullptr);                         // the close came after the box
  EXPECT_EQ(Commands().find("netsh", 1), std::string::npos);  // netsh ran once
}

// A connection that never shows the values: after the settle time, a failure naming them (with
// Quiet, no box: the double-click case).
TEST_F(ApplyTest, AConnectionThatNeverShowsTheValuesFailsAfterTheSettleTime) {
  FillStatic();
  live_.addresses[0].mask = 0xFFFF0000;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(frm_->ApplyNetWork(), ApplyOutcome::Failed);
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(400));
  EXPECT_GT(readNames_.size(), 2u);
  const test::ScriptedPrompts::Prompt box = prompts_.shown.at(0);
  EXPECT_NE(box.text.find("현재 10.1.2.3 / 255.255.0.0 (다름)"), std::string::npos) << box.text;
  EXPECT_EQ(box.flags, kInformation);
  EXPECT_EQ(progressAtBox_, "변경 실패");
}

}  // namespace
}  // namespace tavi
