// Applying a profile in the real window under Wine, with the recording netsh.exe (and net.exe)
// first on the search path and a temporary folder with a blank in its name.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/main_layout.h"
#include "app/main_window_win32.h"
#include "netcfg/apply_profile.h"
#include "netcfg/registry_values_win32.h"
#include "scripted_prompts.h"
#include "win/text_win32.h"
#include "win_test_support.h"

namespace tavi {
namespace {

using enum ControlId;

constexpr char kTwoPlaces[] =
    "[집]\r\nNIC=LAN\r\nOrder=0\r\n"
    "[카페]\r\nNIC=LAN\r\nOrder=1\r\n";

constexpr char kStaticScript[] =
    "pushd interface\r\n"
    "reset all\r\n"
    "popd\r\n"
    "pushd interface ip\r\n"
    "set address name = \"LAN\" source = static addr = 10.1.2.3 mask = 255.255.255.0\r\n"
    "set address name = \"LAN\" gateway = 10.1.2.1 gwmetric = 1\r\n"
    "set dns name = \"LAN\" source=static addr=10.1.2.53 register=PRIMARY\r\n"
    "set wins name = \"LAN\" source = static addr = none\r\n"
    "popd\r\n";

// Sets a string value of the test prefix's registry and puts the old one back afterwards.
class ScopedRegistryString {
 public:
  ScopedRegistryString(std::string path, const std::string& value) : path_(std::move(path)) {
    ReadRegString(HKEY_LOCAL_MACHINE, path_, old_);
    EXPECT_TRUE(WriteRegString(HKEY_LOCAL_MACHINE, path_, value));
  }
  ~ScopedRegistryString() { WriteRegString(HKEY_LOCAL_MACHINE, path_, old_); }

 private:
  std::string path_;
  std::string old_;
};

class ApplyTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ::CreateDirectoryW(Utf8ToWide(bin_).c_str(), nullptr);
    ::CreateDirectoryW(Utf8ToWide(record_).c_str(), nullptr);
    ::CreateDirectoryW(Utf8ToWide(temp_).c_str(), nullptr);
    const std::wstring netsh = Utf8ToWide(test::RequiredEnvPath("TAVI_RECORDING_NETSH_EXE"));
    ASSERT_TRUE(::CopyFileW(netsh.c_str(), Utf8ToWide(bin_ + "\\netsh.exe").c_str(), FALSE));
    ASSERT_TRUE(::CopyFileW(netsh.c_str(), Utf8ToWide(bin_ + "\\net.exe").c_str(), FALSE));
    test::WriteFileBytes(dir_.File("tavi.ini"), Utf8ToCodePage(kTwoPlaces, 949));
  }

  std::unique_ptr<TfrmMain> Open(std::vector<std::string> arguments = {}) {
    TfrmMainOptions options;
    options.iniPath = dir_.File("tavi.ini");
    options.prompts = &prompts_;
    options.arguments = std::move(arguments);
    auto frm = std::make_unique<TfrmMain>(std::move(options));
    const HWND nic = frm->Control(cmbNIC);
    ::SendMessageW(nic, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"LAN"));
    ::SendMessageW(nic, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"   "));
    ::SendMessageW(nic, CB_SETCURSEL, 0, 0);
    frm->SetChecked(rdoDHCP);
    frm->SetChecked(rdoAutoDNS);
    frm->Show(SW_SHOW);
    test::PumpMessages();
    return frm;
  }

  static void FillStatic(TfrmMain& frm) {
    frm.SetChecked(rdoIP);
    frm.SetChecked(rdoNextDNS);
    frm.SetText(edtIP, "10.1.2.3");
    frm.SetText(edtSubNetMask, "255.255.255.0");
    frm.SetText(edtGateWay, "10.1.2.1");
    frm.SetText(edt1stDNS, "10.1.2.53");
    frm.SetText(edt2ndDNS, "");
  }

  static void Click(TfrmMain& frm, ControlId id) {
    ::SendMessageW(frm.Control(id), BM_CLICK, 0, 0);
  }

  std::string Commands() const { return test::ReadFileBytes(record_ + "\\commands.txt"); }
  std::string Script(int n) const {
    return test::ReadFileBytes(record_ + "\\script-" + std::to_string(n) + ".dat");
  }
  std::string ScriptPath() const { return temp_ + "\\nic.dat"; }

  test::TempDir dir_;
  const std::string bin_ = dir_.File("bin");
  const std::string record_ = dir_.File("record");
  const std::string temp_ = dir_.File("temp folder");
  test::ScopedEnvironment path_{"PATH", bin_ + ";" + test::EnvironmentValue("PATH")};
  test::ScopedEnvironment tmp_{"TMP", temp_};
  test::ScopedEnvironment tempVariable_{"TEMP", temp_};
  test::ScopedEnvironment recordVariable_{"TAVI_RECORD_DIR", record_};
  test::ScriptedPrompts prompts_;
};

TEST_F(ApplyTest, TheButtonRunsTheQuotedScriptDeletesItAndReportsUnlessQuiet) {
  auto frm = Open();
  FillStatic(*frm);
  frm->SetText(edtPlace, "사무실");
  bool scriptGone = false;
  std::string progress;
  HCURSOR cursor = nullptr;
  prompts_.onShow = [&](const test::ScriptedPrompts::Prompt&) {
    scriptGone = !test::FileExists(ScriptPath());
    progress = frm->StatusText(kProgressPanel);
    cursor = ::GetCursor();
  };
  Click(*frm, btnApplyNetWork);

  ASSERT_EQ(prompts_.shown.size(), 1u);
  EXPECT_EQ(prompts_.shown[0].text, "[사무실](으)로 네트워크 연결을 설정하였습니다.");
  EXPECT_EQ(prompts_.shown[0].caption, "설정 완료");
  EXPECT_EQ(prompts_.shown[0].flags, static_cast<UINT>(MB_OK | MB_ICONINFORMATION));
  EXPECT_TRUE(scriptGone);
  EXPECT_EQ(progress, "완료");
  EXPECT_NE(cursor, ::LoadCursorW(nullptr, IDC_WAIT));
  // netsh got the path whole, in quotes, though the folder has a blank in its name.
  EXPECT_EQ(Commands(), "netsh -f " + ScriptPath() + "\r\n");
  EXPECT_EQ(Script(1), kStaticScript);

  // Quiet: everything but the box. The controls are read as they stand now.
  frm->Quiet = true;
  frm->SetChecked(rdoDHCP);
  frm->SetChecked(rdoAutoDNS);
  Click(*frm, btnApplyNetWork);
  EXPECT_EQ(prompts_.shown.size(), 1u);
  EXPECT_EQ(frm->StatusText(kProgressPanel), "완료");
  EXPECT_EQ(Script(2),
            "pushd interface\r\nreset all\r\npopd\r\npushd interface ip\r\n"
            "set address name=\"LAN\" source=dhcp \r\n"
            "set dns name = \"LAN\" source = dhcp\r\nset wins name = \"LAN\" source = dhcp\r\n"
            "set wins name = \"LAN\" source=dhcp\r\npopd\r\n");
  EXPECT_FALSE(test::FileExists(ScriptPath()));
}

TEST_F(ApplyTest, NoConnectionOrNoStaticAddressStopsBeforeAnythingChanges) {
  auto frm = Open();
  frm->Quiet = true;  // silences the completion box only
  frm->SetStatusText(kProgressPanel, "before");
  const HWND nic = frm->Control(cmbNIC);
  for (int item : {-1, 1}) {  // nothing selected; an item of blanks only
    ::SendMessageW(nic, CB_SETCURSEL, static_cast<WPARAM>(item), 0);
    Click(*frm, btnApplyNetWork);
    ASSERT_EQ(prompts_.shown.size(), 1u) << item;
    EXPECT_EQ(prompts_.shown[0].text, "네트워크 연결을 선택해 주십시오.");
    EXPECT_EQ(prompts_.shown[0].caption, "Tavi");
    EXPECT_EQ(prompts_.shown[0].flags, static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION));
    EXPECT_TRUE(::SendMessageW(nic, CB_GETDROPPEDSTATE, 0, 0));  // the list opened for a pick
    ::SendMessageW(nic, CB_SHOWDROPDOWN, FALSE, 0);
    prompts_.shown.clear();
  }

  ::SendMessageW(nic, CB_SETCURSEL, 0, 0);
  FillStatic(*frm);
  for (ControlId emptied : {edtIP, edtSubNetMask}) {
    FillStatic(*frm);
    frm->SetText(emptied, "");
    Click(*frm, btnApplyNetWork);
    ASSERT_EQ(prompts_.shown.size(), 1u);
    EXPECT_EQ(prompts_.shown[0].text,
              "어댑터에는 적어도 IP 주소가 하나 필요합니다. IP 주소를 입력하십시오.");
    EXPECT_EQ(prompts_.shown[0].flags, static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION));
    prompts_.shown.clear();
  }
  EXPECT_EQ(frm->StatusText(kProgressPanel), "before");
  EXPECT_EQ(Commands(), "");
}

TEST_F(ApplyTest, AScriptThatCannotBeWrittenIsReportedAndTheBusyStateUndone) {
  auto frm = Open();
  ASSERT_TRUE(::CreateDirectoryW(Utf8ToWide(ScriptPath()).c_str(), nullptr));
  frm->SetStatusText(kProgressPanel, "완료");
  std::string progress;
  HCURSOR cursor = nullptr;
  prompts_.onShow = [&](const test::ScriptedPrompts::Prompt&) {
    progress = frm->StatusText(kProgressPanel);
    cursor = ::GetCursor();
  };
  Click(*frm, btnApplyNetWork);
  ASSERT_EQ(prompts_.shown.size(), 1u);
  EXPECT_EQ(prompts_.shown[0].text, "Unable to write to " + ScriptPath());
  EXPECT_EQ(prompts_.shown[0].caption, "Tavi");
  EXPECT_EQ(prompts_.shown[0].flags, static_cast<UINT>(MB_OK | MB_ICONERROR));
  EXPECT_EQ(progress, "완료");
  EXPECT_NE(cursor, ::LoadCursorW(nullptr, IDC_WAIT));
  EXPECT_EQ(Commands(), "");
}

TEST_F(ApplyTest, OnASystemRootWith386TheRegistryPathRunsBetweenNetStopAndStart) {
  ScopedRegistryString systemRoot(kSystemRootValuePath, "C:\\WIN386");

  auto frm = Open();
  frm->SetText(edtPlace, "집");
  Click(*frm, btnApplyNetWork);
  // This prefix has no NetBT binding, so no adapter can be written: not a success.
  ASSERT_EQ(prompts_.shown.size(), 1u);
  EXPECT_EQ(prompts_.shown[0].text, "변경 실패");
  EXPECT_EQ(prompts_.shown[0].caption, "설정 완료");
  EXPECT_EQ(Commands(), "net stop dhcp\r\nnet start dhcp\r\n");
  EXPECT_EQ(frm->StatusText(kProgressPanel), "완료");

  // With an adapter bound, the static values of the window go into its keys.
  ASSERT_TRUE(WriteRegMultiString(HKEY_LOCAL_MACHINE,
                                  "SYSTEM\\ControlSet001\\Services\\NetBT\\Linkage\\Bind",
                                  "\\Device\\Tcpip_{6B1C0DE1-0000-4000-8000-00000000C001}"));
  FillStatic(*frm);
  Click(*frm, btnApplyNetWork);
  ASSERT_EQ(prompts_.shown.size(), 2u);
  EXPECT_EQ(prompts_.shown[1].text, "[집](으)로 네트워크 연결을 설정하였습니다.");
  std::string address;
  EXPECT_TRUE(ReadRegMultiString(HKEY_LOCAL_MACHINE,
                                 "SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters\\"
                                 "Interfaces\\{6B1C0DE1-0000-4000-8000-00000000C001}\\IPAddress",
                                 address));
  EXPECT_EQ(address, std::string("10.1.2.3\0", 9));
  EXPECT_EQ(Commands(), "net stop dhcp\r\nnet start dhcp\r\nnet stop dhcp\r\nnet start dhcp\r\n");
}

// Sets the thread's view of Shift and Ctrl, as GetKeyState reads them.
void HoldKeys(bool shift, bool control) {
  BYTE keys[256] = {};
  ::GetKeyboardState(keys);
  keys[VK_SHIFT] = shift ? 0x80 : 0;
  keys[VK_CONTROL] = control ? 0x80 : 0;
  ::SetKeyboardState(keys);
}

TEST_F(ApplyTest, DoubleClickCtrlMakesEveryLaterApplyQuietAndShiftCloses) {
  auto frm = Open();
  auto doubleClick = [&] {
    ::SendMessageW(frm->Handle(), WM_COMMAND,
                   MAKEWPARAM(static_cast<int>(listboxPlace), LBN_DBLCLK),
                   reinterpret_cast<LPARAM>(frm->Control(listboxPlace)));
  };
  doubleClick();
  EXPECT_EQ(prompts_.shown.size(), 1u);
  EXPECT_FALSE(frm->Quiet);

  HoldKeys(false, true);
  doubleClick();
  HoldKeys(false, false);
  EXPECT_TRUE(frm->Quiet);
  Click(*frm, btnApplyNetWork);
  EXPECT_EQ(prompts_.shown.size(), 1u);
  EXPECT_TRUE(Script(3).size() > 0);

  // Shift: the window closes after the apply, even one stopped by a check.
  ::SendMessageW(frm->Control(cmbNIC), CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
  HoldKeys(true, false);
  doubleClick();
  HoldKeys(false, false);
  ASSERT_EQ(prompts_.shown.size(), 2u);
  EXPECT_EQ(prompts_.shown[1].text, "네트워크 연결을 선택해 주십시오.");
  EXPECT_EQ(frm->Handle(), nullptr);
}

TEST_F(ApplyTest, CommandLineAppliesEachValidIndexThenCloses) {
  auto frm = Open({"0", "/S", "1", "7", "-1", "$FFFFFFFF", "abc", "-3"});
  ASSERT_EQ(prompts_.shown.size(), 3u);
  EXPECT_EQ(prompts_.shown[0].text, "[집](으)로 네트워크 연결을 설정하였습니다.");
  EXPECT_EQ(prompts_.shown[1].text, "사용 환경을 찾을 수 없습니다.\r\rindex: 7");
  EXPECT_EQ(prompts_.shown[1].caption, "Tavi");
  EXPECT_EQ(prompts_.shown[1].flags, static_cast<UINT>(MB_OK | MB_ICONINFORMATION));
  EXPECT_EQ(prompts_.shown[2].text, "사용 환경을 찾을 수 없습니다.\r\rindex: -3");
  EXPECT_EQ(Commands(), "netsh -f " + ScriptPath() + "\r\nnetsh -f " + ScriptPath() + "\r\n");
  EXPECT_TRUE(frm->Quiet);
  EXPECT_EQ(frm->Handle(), nullptr);  // closed once all arguments were processed
}

}  // namespace
}  // namespace tavi
