// tavi.exe updating itself as a user sees it: the update button, the question, the progress
// dialog and the hand-over to a newer tavi.exe (one minor version up, built by the tests and
// published with tools/publish-update, signed with the build's throw-away key). The program is
// the product as built: its requests for the update server go through a proxy, the loopback
// HTTP server, set in this test's own Wine prefix.
#include <gtest/gtest.h>
#include <windows.h>

#include <shlwapi.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>

#include "app/main_layout.h"
#include "app/version.h"
#include "dialog_driver.h"
#include "loopback_http.h"
#include "update/updater_win32.h"
#include "win/handle.h"
#include "win/text_win32.h"
#include "win_test_support.h"

namespace tavi {
namespace {

using test::FileExists;
using test::WaitUntil;
using test::WindowText;

constexpr auto kLong = std::chrono::seconds(30);

// Every HTTP request of the programs started from here goes to the loopback server, which
// answers the update server's address as it answers its own.
void UseLoopbackProxy() {
  const wchar_t* key = L"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";
  const DWORD enable = 1;
  const std::wstring server = L"127.0.0.1:" + std::to_wstring(test::LoopbackHttpPort());
  ASSERT_EQ(
      ::SHSetValueW(HKEY_CURRENT_USER, key, L"ProxyEnable", REG_DWORD, &enable, sizeof enable), 0);
  ASSERT_EQ(::SHSetValueW(HKEY_CURRENT_USER, key, L"ProxyServer", REG_SZ, server.c_str(),
                          static_cast<DWORD>((server.size() + 1) * sizeof(wchar_t))),
            0);
}

class UpdateEndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    UseLoopbackProxy();
    test::CopyRequired("TAVI_TAVI_EXE", Exe());
    test::WriteFileBytes(
        install.File("tavi.ini"),
        Utf8ToCodePage("[회사]\r\nNIC=lo\r\nOrder=0\r\n[집]\r\nNIC=lo\r\nOrder=1\r\n", 949));
    // The server's answer at the update script's path.
    const std::string root = test::RequiredEnvPath("TAVI_HTTP_ROOT");
    ::CreateDirectoryW(Utf8ToWide(root + "\\myAPP").c_str(), nullptr);
    ::CreateDirectoryW(Utf8ToWide(root + "\\myAPP\\Tavi").c_str(), nullptr);
    script = root + "\\myAPP\\Tavi\\update.php";
  }
  void TearDown() override { ::DeleteFileW(Utf8ToWide(script).c_str()); }

  std::string Exe() const { return install.File("tavi.exe"); }

  // Starts the installed program and waits for its window.
  HWND StartProgram() {
    const std::string exe = Exe();
    program = std::make_unique<test::ChildProcess>("\"" + exe + "\"");
    return test::WaitForProcessWindow(program->Id(), L"TfrmMain", kLong);
  }

  // Presses the update button and waits for the question.
  std::optional<test::MessageBoxView> AskForUpdate(HWND window) {
    ::PostMessageW(::GetDlgItem(window, static_cast<int>(ControlId::btnUpdate)), BM_CLICK, 0, 0);
    std::optional<test::MessageBoxView> box;
    WaitUntil(
        [&] { return (box = test::FindMessageBox(program->Id())) && box->caption == "Confirm"; },
        kLong);
    return box && box->caption == "Confirm" ? box : std::nullopt;
  }

  test::TempDir install;
  std::string script;
  std::unique_ptr<test::ChildProcess> program;
};

// One program run: declining, then the update (a failing one is the window suite's). The
// update benchmark (tools/bench-update) repeats this test.
TEST_F(UpdateEndToEnd, NewVersionIsInstalledAndStarted) {
  const HWND window = StartProgram();
  ASSERT_TRUE(window);
  // The update server answers with the published description.
  ASSERT_TRUE(
      ::CopyFileW(Utf8ToWide(test::RequiredEnvPath("TAVI_PUBLISHED") + "\\update.info").c_str(),
                  Utf8ToWide(script).c_str(), FALSE));
  auto question = AskForUpdate(window);
  ASSERT_TRUE(question);
  EXPECT_NE(question->text.find("Tavi " TAVI_NEXT_VERSION_TEXT), std::string::npos);
  EXPECT_NE(question->text.find("\r\n\r\nREADME.txt\r\ntavi.exe\r\n"), std::string::npos);
  EXPECT_EQ(WindowText(::GetDlgItem(question->window, IDYES)), "&Yes");
  EXPECT_EQ(WindowText(::GetDlgItem(question->window, IDNO)), "&No");
  EXPECT_TRUE(FileExists(install.File("update.info")));
  test::PressButton(question->window, IDNO);
  ASSERT_TRUE(WaitUntil([&] { return !FileExists(install.File("update.info")); }, kLong));
  EXPECT_FALSE(FileExists(install.File("update")));
  // The program's own Yes/No box keeps the system's button texts.
  ::PostMessageW(::GetDlgItem(window, static_cast<int>(ControlId::btnDelete)), BM_CLICK, 0, 0);
  const auto deleteBox = test::WaitForMessageBox(program->Id(), kLong);
  ASSERT_TRUE(deleteBox);
  EXPECT_NE(WindowText(::GetDlgItem(deleteBox->window, IDYES)), "&Yes");
  test::PressButton(deleteBox->window, IDNO);
  ASSERT_TRUE(WaitUntil([&] { return !test::FindMessageBox(program->Id()); }, kLong));

  question = AskForUpdate(window);
  ASSERT_TRUE(question);
  const auto yes = std::chrono::steady_clock::now();
  test::PressButton(question->window, IDYES);
  EXPECT_EQ(program->WaitForExit(kLong), 0u);  // the old program ends...
  // ...and the installed program comes back: the only main window in this prefix now.
  HWND newWindow = nullptr;
  ASSERT_TRUE(WaitUntil(
      [&] {
        return (newWindow = ::FindWindowW(L"TfrmMain", nullptr)) && ::IsWindowVisible(newWindow);
      },
      kLong));
  std::printf("yes-to-new-window-ms %lld\n",
              static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                         std::chrono::steady_clock::now() - yes)
                                         .count()));
  DWORD newId = 0;
  ::GetWindowThreadProcessId(newWindow, &newId);
  const Handle next(::OpenProcess(SYNCHRONIZE, FALSE, newId));
  EXPECT_EQ(LocalFileVersion(Exe()), TAVI_NEXT_VERSION_TEXT);
  EXPECT_EQ(test::ReadFileBytes(install.File("README.txt")), "Tavi\r\n");
  // Its start cleaned up before the window showed.
  EXPECT_FALSE(FileExists(install.File("update.info")));
  EXPECT_FALSE(FileExists(install.File("update")));
  EXPECT_EQ(WindowText(newWindow), MainCaption());  // the caption is not the version's
  ::PostMessageW(newWindow, WM_CLOSE, 0, 0);
  EXPECT_EQ(::WaitForSingleObject(next.get(), 10000), WAIT_OBJECT_0);
}

}  // namespace
}  // namespace tavi
