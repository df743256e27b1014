// Applying a profile in the real window under Wine, with the recording netsh.exe (and net.exe)
// first on the search path and a temporary folder with a blank in its name.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

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
    const std::wstring netsh = Utf8ToWide(test::RequiredEnvPath("TAVI_RECORDING_NETSH_EXE"));
    for (const char* name : {"\\netsh.exe", "\\net.exe"})
      ASSERT_TRUE(::CopyFileW(netsh.c_str(), Utf8ToWide(bin_ + name).c_str(), FALSE));
    ReadRegString(HKEY_LOCAL_MACHINE, kSystemRootValuePath, systemRoot_);

    Open(Options(), /*show=*/false);
    const HWND nic = frm_->Control(cmbNIC);
    ::SendMessageW(nic, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"LAN"));
    ::SendMessageW(nic, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"   "));
    ::SendMessageW(nic, CB_SETCURSEL, 0, 0);
    frm_->Show(SW_SHOW);
    ProcessMessages();
    // What the window shows while its box is up.
    prompts_.onShow = [this](const test::ScriptedPrompts::Prompt&) {
      progressAtBox_ = frm_->StatusText(kProgressPanel);
      waitCursorAtBox_ = ::GetCursor() == ::LoadCursorW(nullptr, IDC_WAIT);
      scriptAtBox_ = test::FileExists(ScriptPath());
    };
  }
  void TearDown() override {
    WriteRegString(HKEY_LOCAL_MACHINE, kSystemRootValuePath, systemRoot_);
  }

  void FillStatic() {
    frm_->SetChecked(rdoIP);
    frm_->SetText(edtIP, "10.1.2.3");
    frm_->SetText(edtSubNetMask, "255.255.255.0");
  }

  void Apply() { Click(btnApplyNetWork); }

  std::string Commands() const { return test::ReadFileBytes(record_ + "\\commands.txt"); }
  std::string ScriptPath() const { return temp_ + "\\nic.dat"; }

  const std::string bin_ = dir_.File("bin");
  const std::string record_ = dir_.File("record");
  const std::string temp_ = dir_.File("temp folder");
  test::ScopedEnvironment path_{"PATH", bin_ + ";" + test::EnvironmentValue("PATH")};
  test::ScopedEnvironment tmp_{"TMP", temp_};
  test::ScopedEnvironment recordVariable_{"TAVI_RECORD_DIR", record_};
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
  Apply();
  // This prefix has no NetBT binding, so no adapter can be written: not a success.
  ExpectBox("변경 실패", "설정 완료", kInformation);
  EXPECT_EQ(frm_->StatusText(kProgressPanel), "완료");

  // With an adapter bound, the static values of the window go into its keys.
  ASSERT_TRUE(WriteRegMultiString(HKEY_LOCAL_MACHINE,
                                  "SYSTEM\\ControlSet001\\Services\\NetBT\\Linkage\\Bind",
                                  "\\Device\\Tcpip_{C1}"));
  FillStatic();
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

// Sets the thread's view of Shift and Ctrl, as GetKeyState reads them.
void HoldKeys(bool shift, bool control) {
  BYTE keys[256] = {};
  ::GetKeyboardState(keys);
  keys[VK_SHIFT] = shift ? 0x80 : 0;
  keys[VK_CONTROL] = control ? 0x80 : 0;
  ::SetKeyboardState(keys);
}

TEST_F(ApplyTest, DoubleClickAppliesCtrlMakesEveryLaterApplyQuietAndShiftCloses) {
  auto doubleClick = [&](bool shift, bool control) {
    HoldKeys(shift, control);
    ::SendMessageW(frm_->Handle(), WM_COMMAND,
                   MAKEWPARAM(static_cast<int>(listboxPlace), LBN_DBLCLK),
                   reinterpret_cast<LPARAM>(frm_->Control(listboxPlace)));
    HoldKeys(false, false);
  };
  FillStatic();
  frm_->SetText(edtPlace, "사무실");
  doubleClick(false, false);
  ExpectBox("[사무실](으)로 네트워크 연결을 설정하였습니다.", "설정 완료", kInformation);
  EXPECT_EQ(progressAtBox_, "완료");
  EXPECT_FALSE(waitCursorAtBox_);
  EXPECT_FALSE(scriptAtBox_);
  EXPECT_FALSE(frm_->Quiet);

  doubleClick(false, true);
  EXPECT_TRUE(frm_->Quiet);
  Apply();
  EXPECT_TRUE(prompts_.shown.empty());
  EXPECT_TRUE(test::FileExists(record_ + "\\script-3.dat"));

  // Shift: the window closes after the apply, even one stopped by a check.
  ::SendMessageW(frm_->Control(cmbNIC), CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
  doubleClick(true, false);
  ExpectBox("네트워크 연결을 선택해 주십시오.", "Tavi", kExclamation);
  EXPECT_EQ(frm_->Handle(), nullptr);
}

}  // namespace
}  // namespace tavi
