// The two windows of an update: the question with its "&Yes" and "&No" buttons, and the
// progress dialog.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <string>
#include <thread>

#include "update/confirm_box_win32.h"
#include "update/progress_dialog_win32.h"
#include "win/text_win32.h"
#include "win_test_support.h"

namespace tavi {
namespace {

struct SeenBox {
  std::string caption, text, yes, no;
};

// Waits on another thread for a message box of the given thread, writes down what it shows
// and presses one of its buttons.
std::thread Answer(DWORD thread, int button, SeenBox& seen) {
  return std::thread([=, &seen] {
    for (int tries = 0; tries < 500; ++tries) {
      HWND box = nullptr;
      ::EnumThreadWindows(
          thread,
          [](HWND window, LPARAM found) {
            wchar_t name[16] = {};
            ::GetClassNameW(window, name, 16);
            if (std::wstring(name) != L"#32770" || !::IsWindowVisible(window)) return TRUE;
            *reinterpret_cast<HWND*>(found) = window;
            return FALSE;
          },
          reinterpret_cast<LPARAM>(&box));
      if (box) {
        seen.caption = GetWindowTextUtf8(box);
        seen.yes = GetWindowTextUtf8(::GetDlgItem(box, IDYES));
        seen.no = GetWindowTextUtf8(::GetDlgItem(box, IDNO));
        seen.text = GetWindowTextUtf8(::GetDlgItem(box, 0xFFFF));
        ::SendMessageW(::GetDlgItem(box, button), BM_CLICK, 0, 0);
        return;
      }
      ::Sleep(20);
    }
  });
}

TEST(ConfirmBox, AsksWithEnglishButtonsAndLeavesOtherBoxesAlone) {
  const DWORD thread = ::GetCurrentThreadId();
  SeenBox seen;
  std::thread answer = Answer(thread, IDYES, seen);
  EXPECT_EQ(ShowConfirmBox(nullptr, "업데이트하시겠습니까?", "Confirm"), IDYES);
  answer.join();
  EXPECT_EQ(seen.caption, "Confirm");
  EXPECT_EQ(seen.yes, "&Yes");
  EXPECT_EQ(seen.no, "&No");

  answer = Answer(thread, IDNO, seen);
  EXPECT_EQ(ShowConfirmBox(nullptr, "다시?", "Confirm"), IDNO);
  answer.join();

  // The renaming ended with the question: the system's own box keeps its own texts.
  SeenBox plain;
  answer = Answer(thread, IDNO, plain);
  EXPECT_EQ(::MessageBoxW(nullptr, L"x", L"Plain", MB_YESNO), IDNO);
  answer.join();
  EXPECT_EQ(plain.caption, "Plain");
  EXPECT_NE(plain.yes, "&Yes");
}

TEST(ProgressDialog, ModelessToolWindowWithABarAndNoWayToCancel) {
  const HWND active = ::CreateWindowExW(0, L"STATIC", L"main", WS_POPUP | WS_VISIBLE, 0, 0, 100,
                                        100, nullptr, nullptr, nullptr, nullptr);
  ::SetActiveWindow(active);
  HWND handle = nullptr;
  {
    TProgressDialog dialog;
    handle = dialog.Handle();
    ASSERT_TRUE(handle);
    EXPECT_FALSE(::IsWindowVisible(handle));
    dialog.SetCaption("업데이트");
    dialog.SetText("프로그램을 최신 버전으로 업데이트하고 있습니다.");
    dialog.Show();
    EXPECT_TRUE(::IsWindowVisible(handle));
    EXPECT_EQ(::GetWindow(handle, GW_OWNER), nullptr);
    EXPECT_TRUE(::GetWindowLongW(handle, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);

    RECT frame;
    ::GetWindowRect(handle, &frame);
    EXPECT_NEAR((frame.left + frame.right) / 2, ::GetSystemMetrics(SM_CXSCREEN) / 2, 1);
    EXPECT_NEAR((frame.top + frame.bottom) / 2, ::GetSystemMetrics(SM_CYSCREEN) / 2, 1);

    EXPECT_EQ(GetWindowTextUtf8(handle), "업데이트");
    EXPECT_EQ(GetWindowTextUtf8(dialog.TextLine()),
              "프로그램을 최신 버전으로 업데이트하고 있습니다.");
    EXPECT_TRUE(::GetWindowLongW(dialog.Bar(), GWL_STYLE) & PBS_SMOOTH);
    EXPECT_EQ(::SendMessageW(dialog.Bar(), PBM_GETRANGE, FALSE, 0), 100);
    EXPECT_EQ(::SendMessageW(dialog.Bar(), PBM_GETRANGE, TRUE, 0), 0);
    dialog.SetPosition(25);
    EXPECT_EQ(::SendMessageW(dialog.Bar(), PBM_GETPOS, 0, 0), 25);
    dialog.SetPosition(250);
    EXPECT_EQ(dialog.Position(), 100);

    // Only the text line and the bar: no button to cancel with, and closing is refused.
    int children = 0;
    ::EnumChildWindows(
        handle, [](HWND, LPARAM count) { return ++*reinterpret_cast<int*>(count), TRUE; },
        reinterpret_cast<LPARAM>(&children));
    EXPECT_EQ(children, 2);
    ::SendMessageW(handle, WM_CLOSE, 0, 0);
    EXPECT_TRUE(::IsWindow(handle));
  }
  EXPECT_FALSE(::IsWindow(handle));
  ::DestroyWindow(active);
}

}  // namespace
}  // namespace tavi
