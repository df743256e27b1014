// The real main window in this process, for the window suites: opened on a profile file of
// the test's own, with every message box answered by a script instead of a person.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/main_window_win32.h"
#include "dialog_driver.h"
#include "scripted_prompts.h"
#include "win/message_loop_win32.h"
#include "win/text_win32.h"
#include "win_test_support.h"

namespace tavi::test {

// A popup menu that the window opened, read by a thread timer from within the menu's own loop.
struct OpenMenu {
  std::vector<std::string> items;
  int choose = -1;
  int ticks = 0;
};
inline OpenMenu* openMenu = nullptr;

inline void CALLBACK ReadOpenMenu(HWND, UINT, UINT_PTR timer, DWORD) {
  const HWND popup = ::FindWindowW(L"#32768", nullptr);
  if (!openMenu) return;
  if (!popup || !::IsWindowVisible(popup)) {
    if (++openMenu->ticks > 250) ::EndMenu();  // a menu that never shows must not hang the test
    return;
  }
  ::KillTimer(nullptr, timer);
  const auto menu = reinterpret_cast<HMENU>(::SendMessageW(popup, MN_GETHMENU, 0, 0));
  int downs = 0;
  for (int i = 0; i < ::GetMenuItemCount(menu); ++i) {
    wchar_t text[256] = {};
    ::GetMenuStringW(menu, static_cast<UINT>(i), text, 256, MF_BYPOSITION);
    const UINT state = ::GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION);
    openMenu->items.push_back(WideToUtf8(text) + (state & MF_CHECKED ? "*" : "") +
                              (state & MF_GRAYED ? "-" : ""));
    if (i <= openMenu->choose && !(state & MF_SEPARATOR)) ++downs;
  }
  // The arrow keys step over the separator, as a user's do; Escape closes the menu unchosen.
  for (int i = 0; i < downs; ++i)
    ::PostMessageW(popup, WM_KEYDOWN, VK_DOWN, 0);
  ::PostMessageW(popup, WM_KEYDOWN, openMenu->choose < 0 ? VK_ESCAPE : VK_RETURN, 0);
}

class WindowTest : public ::testing::Test {
 protected:
  // The profile file's text, in the Korean ANSI code page on disk.
  void WriteIni(std::string_view text) { WriteFileBytes(ini_, Utf8ToCodePage(text, 949)); }
  std::string Ini() const { return CodePageToUtf8(ReadFileBytes(ini_), 949); }

  // A window on the test's file and prompts, its updater's program folder the test's own.
  TfrmMainOptions Options() {
    TfrmMainOptions options;
    options.iniPath = ini_;
    options.prompts = &prompts_;
    options.updater.executablePath = dir_.File("tavi.exe");
    options.notifyIcon = [this](DWORD message, NOTIFYICONDATAW& data) {
      trayCalls_.push_back({message, data.hWnd, data.hIcon, WideToUtf8(data.szTip)});
      return !realTray_ || ::Shell_NotifyIconW(message, &data);
    };
    return options;
  }
  // (Re)opens the window; shown, it has run its first activation.
  TfrmMain& Open(TfrmMainOptions options, bool show = true) {
    frm_.reset();
    frm_ = std::make_unique<TfrmMain>(std::move(options));
    if (show) frm_->Show(SW_SHOW);
    ProcessMessages();
    return *frm_;
  }
  static void Click(HWND button) { ::SendMessageW(button, BM_CLICK, 0, 0); }
  void Click(ControlId button) { Click(frm_->Control(button)); }

  // The one message box since the last check, checked and forgotten; returned for its owner.
  ScriptedPrompts::Prompt ExpectBox(std::string_view text, std::string_view caption, UINT flags) {
    EXPECT_EQ(prompts_.shown.size(), 1u);
    const ScriptedPrompts::Prompt box =
        prompts_.shown.empty() ? ScriptedPrompts::Prompt{} : prompts_.shown.front();
    EXPECT_EQ(box.text, text);
    EXPECT_EQ(box.caption, caption);
    EXPECT_EQ(box.flags, flags);
    prompts_.shown.clear();
    return box;
  }

  // The notification-area menu as a right click on the icon opens it: each item's text, with
  // "*" when checked and "-" when greyed ("" for the separator). With choose, that item is
  // chosen with the keyboard; else the menu is closed. The window: the test's, unless named.
  std::vector<std::string> TrayMenu(int choose = -1, HWND window = nullptr) {
    OpenMenu open{{}, choose};
    openMenu = &open;
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 20, ReadOpenMenu);
    ::SendMessageW(window ? window : frm_->Handle(), TfrmMain::kTrayMessage, 1, WM_RBUTTONUP);
    ::KillTimer(nullptr, timer);
    openMenu = nullptr;
    EXPECT_FALSE(open.items.empty()) << "no menu opened";
    return open.items;
  }

  TempDir dir_;
  std::string ini_ = dir_.File("tavi.ini");
  ScriptedPrompts prompts_;
  // What the window asked of the notification area, which sees it only with realTray_.
  struct TrayCall {
    DWORD message;
    HWND window;
    HICON icon;
    std::string tip;
  };
  std::vector<TrayCall> trayCalls_;
  bool realTray_ = false;
  // Last, so that it goes first: its window's end still reaches the members above (the
  // icon's removal is written down in trayCalls_).
  std::unique_ptr<TfrmMain> frm_;
};

}  // namespace tavi::test
