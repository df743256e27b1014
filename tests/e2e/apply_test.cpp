// tavi.exe as a user starts it, and applying places from its command line as a scheduled
// task or a shortcut runs it: the INI file beside it, two connections that discovery finds
// (adapter keys in this prefix's registry and a scripted ipconfig.exe beside the program), the
// recording netsh.exe first on the search path and a temporary folder with a blank in its name.
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <memory>
#include <optional>
#include <string>

#include "app/main_layout.h"
#include "dialog_driver.h"
#include "example_scripts.h"
#include "netcfg/registry_values_win32.h"
#include "win/text_win32.h"
#include "win_test_support.h"

namespace tavi {
namespace {

constexpr char kWireless[] = "무선 네트워크 연결";

constexpr char kPlaces[] =
    "[집]\r\nNIC=LAN\r\nOrder=0\r\n"
    "[사무실]\r\nNIC=LAN\r\nIP=10.1.2.3\r\nSubNetMask=255.255.255.0\r\nGateWay=10.1.2.1\r\n"
    "1stDNS=10.1.2.53\r\n2ndDNS=10.1.2.54\r\nOrder=1\r\n"
    "[카페]\r\nNIC=무선 네트워크 연결\r\nOrder=2\r\n";

// What ipconfig /all prints for the two connections, in the OEM code page.
constexpr char kListing[] =
    "\r\nWindows IP 구성\r\n\r\n"
    "이더넷 어댑터 LAN:\r\n\r\n   IP 주소 . . . . . . . . . : 10.1.2.3\r\n\r\n"
    "이더넷 어댑터 무선 네트워크 연결:\r\n\r\n   미디어 상태 . . . . . . . : 미디어 연결 끊김\r\n";

// The DHCP example for the Korean connection, its name in code page 949.
std::string WirelessScript() {
  std::string script = test::kDhcpScript;
  for (size_t at; (at = script.find("LAN")) != std::string::npos;)
    script.replace(at, 3, kWireless);
  return Utf8ToCodePage(script, 949);
}

class ApplyFromCommandLine : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    const std::string adapters =
        "SYSTEM\\CurrentControlSet\\Control\\Network\\{4D36E972-E325-11CE-BFC1-08002BE10318}\\";
    ASSERT_TRUE(WriteRegString(HKEY_LOCAL_MACHINE, adapters + "{A1}\\Connection\\Name", "LAN"));
    ASSERT_TRUE(WriteRegString(HKEY_LOCAL_MACHINE, adapters + "{A2}\\Connection\\Name", kWireless));
  }

  void SetUp() override {
    for (const std::string& folder : {app_, bin_, record_, temp_})
      ASSERT_TRUE(::CreateDirectoryW(Utf8ToWide(folder).c_str(), nullptr)) << folder;
    Copy("TAVI_TAVI_EXE", app_ + "\\tavi.exe");
    Copy("TAVI_SCRIPTED_IPCONFIG_EXE", app_ + "\\ipconfig.exe");
    Copy("TAVI_RECORDING_NETSH_EXE", bin_ + "\\netsh.exe");
    test::WriteFileBytes(app_ + "\\tavi.ini", Utf8ToCodePage(kPlaces, 949));
    test::WriteFileBytes(listing_, Utf8ToCodePage(kListing, 949));
  }

  static void Copy(const char* variable, const std::string& target) {
    ASSERT_TRUE(::CopyFileW(Utf8ToWide(test::RequiredEnvPath(variable)).c_str(),
                            Utf8ToWide(target).c_str(), FALSE))
        << target;
  }

  std::unique_ptr<test::ChildProcess> Start(const std::string& arguments) {
    return std::make_unique<test::ChildProcess>("\"" + app_ + "\\tavi.exe\" " + arguments);
  }

  // Waits for the program's box with that text, checks its caption and presses OK.
  static void AnswerBox(test::ChildProcess& tavi, const char* caption, const std::string& text) {
    std::optional<test::MessageBoxView> box;
    ASSERT_TRUE(test::WaitUntil([&] {
      box = test::FindMessageBox(tavi.Id());
      return box && box->text == text;
    })) << (box ? box->text : "no box");
    EXPECT_EQ(box->caption, caption);
    test::PressButton(box->window, IDOK);
  }

  std::string Commands() const { return test::ReadFileBytes(record_ + "\\commands.txt"); }
  std::string Script(int n) const {
    return test::ReadFileBytes(record_ + "\\script-" + std::to_string(n) + ".dat");
  }

  test::TempDir dir_;
  const std::string app_ = dir_.File("app");
  const std::string bin_ = dir_.File("bin");
  const std::string record_ = dir_.File("record");
  const std::string temp_ = dir_.File("my temp");
  const std::string listing_ = dir_.File("ipconfig.txt");
  test::ScopedEnvironment path_{"PATH", bin_ + ";" + test::EnvironmentValue("PATH")};
  test::ScopedEnvironment tmp_{"TMP", temp_};
  test::ScopedEnvironment recordVariable_{"TAVI_RECORD_DIR", record_};
  test::ScopedEnvironment listingVariable_{"TAVI_IPCONFIG_LISTING", listing_};
};

TEST_F(ApplyFromCommandLine, BoxesComeUntilQuietIsAskedAndTheProgramEndsByItself) {
  // Quiet from the start: no box at all (a modal one would keep the program from ending).
  EXPECT_EQ(Start("/S 2")->WaitForExit(), std::optional<DWORD>(0));
  auto tavi = Start("0 /s 1 7");
  AnswerBox(*tavi, "설정 완료", "[집](으)로 네트워크 연결을 설정하였습니다.");
  AnswerBox(*tavi, "Tavi", "사용 환경을 찾을 수 없습니다.\r\rindex: 7");
  EXPECT_EQ(tavi->WaitForExit(), std::optional<DWORD>(0));
  auto hex = Start("$1");
  AnswerBox(*hex, "설정 완료", "[사무실](으)로 네트워크 연결을 설정하였습니다.");
  EXPECT_EQ(hex->WaitForExit(), std::optional<DWORD>(0));
  EXPECT_EQ(Script(1), WirelessScript());
  EXPECT_EQ(Script(2), test::kDhcpScript);
  EXPECT_EQ(Script(3), test::kStaticScript);
  EXPECT_EQ(Script(4), test::kStaticScript);
  EXPECT_FALSE(test::FileExists(temp_ + "\\nic.dat"));
  // netsh got the whole path of the script in its folder with a blank.
  EXPECT_EQ(Commands().substr(0, Commands().find('\r')), "netsh -f " + temp_ + "\\nic.dat");
}

// A start without a place to apply keeps its window open, beside a second copy of the
// program; the title bar's close ends the one, the close button the other. Nothing runs
// netsh, not even an apply whose interpreter cannot start.
TEST_F(ApplyFromCommandLine, NothingAppliedKeepsTheWindowAndAFailedStartIsAFailure) {
  // Anything but the box for 7, first, would block the program or be a second box.
  auto tavi = Start("abc -1 7");
  AnswerBox(*tavi, "Tavi", "사용 환경을 찾을 수 없습니다.\r\rindex: 7");
  EXPECT_FALSE(tavi->WaitForExit(std::chrono::milliseconds(500)));  // the window stays open
  auto second = Start("");
  HWND windows[2] = {};
  for (int i : {0, 1}) {
    windows[i] = test::WaitForProcessWindow((i ? *second : *tavi).Id(), L"TfrmMain");
    ASSERT_TRUE(windows[i]);
  }
  // Its places come from the file beside it.
  const HWND list = ::GetDlgItem(windows[1], static_cast<int>(ControlId::listboxPlace));
  ASSERT_TRUE(test::WaitUntil([&] { return ::SendMessageW(list, LB_GETCOUNT, 0, 0) == 3; }));
  ::PostMessageW(windows[0], WM_CLOSE, 0, 0);
  EXPECT_EQ(tavi->WaitForExit(), std::optional<DWORD>(0));
  EXPECT_TRUE(::IsWindow(windows[1]));
  ::PostMessageW(::GetDlgItem(windows[1], static_cast<int>(ControlId::btnClose)), BM_CLICK, 0, 0);
  EXPECT_EQ(second->WaitForExit(), std::optional<DWORD>(0));

  // An interpreter that cannot start fails the apply. (The program's own folder is searched
  // first: a cmd.exe there that is no program.)
  test::WriteFileBytes(app_ + "\\cmd.exe", "not a program");
  auto failing = Start("0");
  AnswerBox(*failing, "설정 완료", "변경 실패");
  EXPECT_EQ(failing->WaitForExit(), std::optional<DWORD>(0));
  EXPECT_EQ(Commands(), "");
  EXPECT_FALSE(test::FileExists(temp_ + "\\nic.dat"));
}

}  // namespace
}  // namespace tavi
