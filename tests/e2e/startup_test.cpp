// tavi.exe started as a user starts it: the window shows the places of the INI file beside
// the program, two copies run side by side, and closing either way ends the process.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "app/main_layout.h"
#include "win/handle.h"
#include "win/text_win32.h"
#include "win_test_support.h"

namespace tavi {
namespace {

constexpr char kThreePlaces[] =
    "[회사]\r\nNIC=lo\r\nIP=192.168.10.25\r\nSubNetMask=255.255.255.0\r\nOrder=0\r\n"
    "[집]\r\nNIC=lo\r\nOrder=1\r\n[카페]\r\nNIC=lo\r\n1stDNS=1.1.1.1\r\nOrder=2\r\n";

struct Running {
  Handle process;
  DWORD id = 0;
  HWND window = nullptr;
};

Running Start(const std::string& exe) {
  Running run;
  std::wstring commandLine = L"\"" + Utf8ToWide(exe) + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  EXPECT_TRUE(::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, &startup, &info));
  ::CloseHandle(info.hThread);
  run.process.reset(info.hProcess);
  run.id = info.dwProcessId;
  return run;
}

HWND MainWindowOf(DWORD processId) {
  struct Search {
    DWORD id;
    HWND found;
  } search{processId, nullptr};
  ::EnumWindows(
      [](HWND window, LPARAM param) {
        auto* s = reinterpret_cast<Search*>(param);
        DWORD owner = 0;
        ::GetWindowThreadProcessId(window, &owner);
        wchar_t name[32] = {};
        ::GetClassNameW(window, name, 32);
        if (owner == s->id && ::lstrcmpW(name, L"TfrmMain") == 0 && ::IsWindowVisible(window)) {
          s->found = window;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// GetWindowText reads only a caption in another process; an edit control answers WM_GETTEXT.
std::string TextOf(HWND control) {
  wchar_t text[256] = {};
  ::SendMessageW(control, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text));
  return WideToUtf8(text);
}

HWND Child(HWND window, std::initializer_list<ControlId> path) {
  for (ControlId id : path)
    window = ::GetDlgItem(window, static_cast<int>(id));
  return window;
}

TEST(Startup, TwoCopiesShowThePlacesAndEachClosesCleanly) {
  test::TempDir dir;
  const std::string exe = dir.File("tavi.exe");
  ASSERT_TRUE(::CopyFileW(Utf8ToWide(test::RequiredEnvPath("TAVI_TAVI_EXE")).c_str(),
                          Utf8ToWide(exe).c_str(), FALSE));
  test::WriteFileBytes(dir.File("tavi.ini"), Utf8ToCodePage(kThreePlaces, 949));

  std::vector<Running> copies;
  copies.push_back(Start(exe));
  copies.push_back(Start(exe));
  for (Running& copy : copies) {
    ASSERT_TRUE(test::WaitUntil([&] { return (copy.window = MainWindowOf(copy.id)) != nullptr; }));
    const HWND list = Child(copy.window, {ControlId::listboxPlace});
    ASSERT_TRUE(test::WaitUntil([&] { return ::SendMessageW(list, LB_GETCOUNT, 0, 0) == 3; }));
    EXPECT_EQ(::SendMessageW(list, LB_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(TextOf(Child(copy.window, {ControlId::GroupBox1, ControlId::edtPlace})), "회사");
  }

  // The title bar's close (WM_CLOSE) ends the first; the other copy runs on.
  ::PostMessageW(copies[0].window, WM_CLOSE, 0, 0);
  ASSERT_EQ(::WaitForSingleObject(copies[0].process.get(), 10000), WAIT_OBJECT_0);
  EXPECT_TRUE(::IsWindow(copies[1].window));
  // The close button ends the second.
  ::PostMessageW(Child(copies[1].window, {ControlId::btnClose}), BM_CLICK, 0, 0);
  ASSERT_EQ(::WaitForSingleObject(copies[1].process.get(), 10000), WAIT_OBJECT_0);
  for (Running& copy : copies) {
    DWORD code = 1;
    ::GetExitCodeProcess(copy.process.get(), &code);
    EXPECT_EQ(code, 0u);
  }
}

}  // namespace
}  // namespace tavi
