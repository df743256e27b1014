// tavi.exe started as a user starts it: the window shows the places of the INI file beside
// the program, two copies run side by side, and closing either way ends the process.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "app/main_layout.h"
#include "dialog_driver.h"
#include "win/text_win32.h"
#include "win_test_support.h"

namespace tavi {
namespace {

TEST(Startup, TwoCopiesShowThePlacesAndEachClosesCleanly) {
  test::TempDir dir;
  const std::string exe = dir.File("tavi.exe");
  ASSERT_TRUE(::CopyFileW(Utf8ToWide(test::RequiredEnvPath("TAVI_TAVI_EXE")).c_str(),
                          Utf8ToWide(exe).c_str(), FALSE));
  test::WriteFileBytes(
      dir.File("tavi.ini"),
      Utf8ToCodePage("[집]\r\nNIC=lo\r\nOrder=1\r\n[회사]\r\nNIC=lo\r\nIP=1.2.3.4\r\n"
                     "Order=0\r\n[카페]\r\nNIC=lo\r\nOrder=2\r\n",
                     949));
  test::ChildProcess first("\"" + exe + "\"");
  test::ChildProcess second("\"" + exe + "\"");
  HWND windows[2] = {};
  for (int i : {0, 1}) {
    windows[i] = test::WaitForProcessWindow((i ? second : first).Id(), L"TfrmMain");
    ASSERT_NE(windows[i], nullptr);
    const HWND list = ::GetDlgItem(windows[i], static_cast<int>(ControlId::listboxPlace));
    ASSERT_TRUE(test::WaitUntil([&] { return ::SendMessageW(list, LB_GETCOUNT, 0, 0) == 3; }));
    const HWND frame = ::GetDlgItem(windows[i], static_cast<int>(ControlId::GroupBox1));
    EXPECT_EQ(test::WindowText(::GetDlgItem(frame, static_cast<int>(ControlId::edtPlace))), "회사");
  }

  // The title bar's close (WM_CLOSE) ends the first; the other copy runs on until its close
  // button ends it.
  ::PostMessageW(windows[0], WM_CLOSE, 0, 0);
  EXPECT_EQ(first.WaitForExit(), 0u);
  EXPECT_TRUE(::IsWindow(windows[1]));
  ::PostMessageW(::GetDlgItem(windows[1], static_cast<int>(ControlId::btnClose)), BM_CLICK, 0, 0);
  EXPECT_EQ(second.WaitForExit(), 0u);
}

}  // namespace
}  // namespace tavi
