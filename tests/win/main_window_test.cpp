// The real main window under Wine: layout, enabling rules, keyboard, help, errors, closing.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <memory>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "app/app_info.h"
#include "app/main_layout.h"
#include "app/main_window_win32.h"
#include "scripted_prompts.h"
#include "win/message_loop_win32.h"
#include "win/text_win32.h"
#include "win_test_support.h"

namespace tavi {
namespace {

using enum ControlId;

constexpr char kThreePlaces[] =
    "[회사]\r\nNIC=lo\r\nIP=192.168.10.25\r\nSubNetMask=255.255.255.0\r\nGateWay=192.168.10.1\r\n"
    "1stDNS=192.168.10.53\r\n2ndDNS=8.8.8.8\r\nOrder=0\r\n"
    "[카페]\r\nNIC=lo\r\n1stDNS=1.1.1.1\r\nOrder=2\r\n"
    "[집]\r\nNIC=lo\r\nOrder=1\r\n";

RECT RectInParent(HWND control) {
  RECT r;
  ::GetWindowRect(control, &r);
  ::MapWindowPoints(nullptr, ::GetParent(control), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

LOGFONTW FontOf(HWND control) {
  LOGFONTW font{};
  const auto handle = reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0));
  ::GetObjectW(handle, sizeof font, &font);
  return font;
}

// The thread's top-level windows, less the input-method window the system keeps per thread.
int TextWidth(HWND control) {
  const std::wstring text = Utf8ToWide(GetWindowTextUtf8(control));
  HDC dc = ::GetDC(control);
  const HGDIOBJ old =
      ::SelectObject(dc, reinterpret_cast<HGDIOBJ>(::SendMessageW(control, WM_GETFONT, 0, 0)));
  RECT r{0, 0, 0, 0};
  ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_SINGLELINE | DT_CALCRECT);
  ::SelectObject(dc, old);
  ::ReleaseDC(control, dc);
  return r.right;
}

std::vector<HWND> ThreadWindows() {
  std::vector<HWND> windows;
  ::EnumThreadWindows(
      ::GetCurrentThreadId(),
      [](HWND window, LPARAM list) {
        wchar_t name[64] = {};
        ::GetClassNameW(window, name, 64);
        const std::wstring_view className = name;
        if (className != L"IME" && className != L"MSCTFIME UI" && className != L"WineX11IME") {
          reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&windows));
  return windows;
}

void Click(HWND control) {
  ::SendMessageW(control, BM_CLICK, 0, 0);
}

// Posts a key to the focused control and lets the message loop's dialog keyboard
// interface see it, as a real key press would.
void Key(UINT message, WPARAM key) {
  ::PostMessageW(::GetFocus(), message, key, message == WM_SYSCHAR ? (1 << 29) : 0);
  ProcessMessages();
}

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::WriteFileBytes(dir_.File("tavi.ini"), Utf8ToCodePage(kThreePlaces, 949));
  }
  void TearDown() override { SetDialogNavigationWindow(nullptr); }

  std::unique_ptr<TfrmMain> Open(bool show = true, bool quitOnClose = false,
                                 UserPrompts* prompts = nullptr) {
    TfrmMainOptions options;
    options.iniPath = dir_.File("tavi.ini");
    options.prompts = prompts ? prompts : &prompts_;
    options.quitOnClose = quitOnClose;
    options.updater.executablePath = dir_.File("tavi.exe");  // its update files stay in here
    auto frm = std::make_unique<TfrmMain>(std::move(options));
    SetDialogNavigationWindow(frm->Handle());
    if (show) frm->Show(SW_SHOW);
    test::PumpMessages();
    return frm;
  }

  // The editing controls as the enabling rules describe them.
  static EditingState Observed(const TfrmMain& frm) {
    EditingState s;
    s.rdoDHCP = frm.IsChecked(rdoDHCP);
    s.rdoIP = frm.IsChecked(rdoIP);
    s.rdoAutoDNS = frm.IsChecked(rdoAutoDNS);
    s.rdoNextDNS = frm.IsChecked(rdoNextDNS);
    s.addressFieldsEnabled = ::IsWindowEnabled(frm.Control(edtIP));
    for (ControlId id : {edtSubNetMask, edtGateWay, lblIP, lblSubNetMask, lblGateWay}) {
      EXPECT_EQ(::IsWindowEnabled(frm.Control(id)) != 0, s.addressFieldsEnabled);
    }
    s.addressFieldColor = frm.FieldBackground(edtIP);
    EXPECT_EQ(frm.FieldBackground(edtGateWay), s.addressFieldColor);
    s.rdoAutoDNSEnabled = ::IsWindowEnabled(frm.Control(rdoAutoDNS));
    s.dnsFieldsEnabled = ::IsWindowEnabled(frm.Control(edt1stDNS));
    for (ControlId id : {edt2ndDNS, lbl1stDNS, lbl2ndDNS}) {
      EXPECT_EQ(::IsWindowEnabled(frm.Control(id)) != 0, s.dnsFieldsEnabled);
    }
    s.dnsFieldColor = frm.FieldBackground(edt2ndDNS);
    s.btnSaveEnabled = ::IsWindowEnabled(frm.Control(btnSave));
    return s;
  }

  static EditingState State(bool dhcp, bool autoDns) {
    EditingState s;
    s.rdoDHCP = dhcp;
    s.rdoIP = !dhcp;
    s.rdoAutoDNS = autoDns;
    s.rdoNextDNS = !autoDns;
    s.addressFieldsEnabled = !dhcp;
    s.addressFieldColor = dhcp ? FieldColor::ButtonFace : FieldColor::Window;
    s.rdoAutoDNSEnabled = dhcp;
    s.dnsFieldsEnabled = !autoDns;
    s.dnsFieldColor = autoDns ? FieldColor::ButtonFace : FieldColor::Window;
    s.btnSaveEnabled = true;
    return s;
  }

  // The colour an edit field really paints, right of its text.
  static COLORREF PaintedBackground(HWND field) {
    ::RedrawWindow(field, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    RECT client;
    ::GetClientRect(field, &client);
    HDC dc = ::GetDC(field);
    const COLORREF color = ::GetPixel(dc, client.right - 3, client.bottom / 2);
    ::ReleaseDC(field, dc);
    return color;
  }

  test::TempDir dir_;
  test::ScriptedPrompts prompts_;
};

TEST_F(MainWindowTest, EveryControlStandsWhereTheLayoutTablePutsIt) {
  auto frm = Open();
  const int dpi = frm->Dpi();
  auto scaled = [dpi](int value) { return ScaleFrom96(value, dpi); };
  for (const ControlSpec& c : MainLayout()) {
    SCOPED_TRACE(c.name);
    const HWND control = frm->Control(c.id);
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(::GetParent(control), frm->Control(c.parent));
    EXPECT_EQ(::GetDlgCtrlID(control), static_cast<int>(c.id));
    EXPECT_TRUE(::IsWindowVisible(control));
    const RECT r = RectInParent(control);
    EXPECT_EQ(r.left, scaled(c.left96));
    EXPECT_EQ(r.top, scaled(c.top96));
    if (c.kind == ControlKind::Label && !(c.flags & kWordWrap)) {
      // A label is as wide as the table says, or as its text where the font draws wider.
      EXPECT_EQ(r.right - r.left, std::max(scaled(c.width96), TextWidth(control)));
      for (HWND sibling = ::GetWindow(::GetParent(control), GW_CHILD); sibling;
           sibling = ::GetWindow(sibling, GW_HWNDNEXT)) {
        const ControlSpec* other = FindControl(static_cast<ControlId>(::GetDlgCtrlID(sibling)));
        if (!other || other->kind == ControlKind::Label) continue;
        RECT both;
        const RECT theirs = RectInParent(sibling);
        EXPECT_FALSE(::IntersectRect(&both, &r, &theirs)) << "covers " << other->name;
      }
    } else {
      EXPECT_EQ(r.right - r.left, scaled(c.width96));
    }
    EXPECT_EQ(r.bottom - r.top, scaled(c.height96));
    if (c.kind != ControlKind::Edit && c.kind != ControlKind::ListBox &&
        c.kind != ControlKind::DropDownList && c.kind != ControlKind::Status) {
      EXPECT_EQ(GetWindowTextUtf8(control), c.text);
    }
    const LOGFONTW font = FontOf(control);
    EXPECT_EQ(font.lfHeight, -scaled(kFontHeight96));
    EXPECT_EQ(font.lfCharSet, HANGUL_CHARSET);
    EXPECT_EQ(WideToUtf8(font.lfFaceName), kFontFace);
    EXPECT_EQ(font.lfWeight, c.id == Label1 ? FW_BOLD : FW_NORMAL);
    if (c.kind == ControlKind::PushButton) {
      EXPECT_EQ(reinterpret_cast<HCURSOR>(::GetClassLongPtrW(control, GCLP_HCURSOR)),
                ::LoadCursorW(nullptr, IDC_HAND));
    }
  }
  EXPECT_EQ(::SendMessageW(frm->Control(listboxPlace), LB_GETITEMHEIGHT, 0, 0),
            scaled(kListItemHeight96));

  // Within each parent, the windows lie in the order the layout creates them.
  for (ControlId parent : {frmMain, GroupBox1, Panel1, GroupBoxIP, GroupBox3}) {
    std::vector<ControlId> expected;
    for (ControlId id : CreationOrder()) {
      if (FindControl(id)->parent == parent) expected.push_back(id);
    }
    std::vector<ControlId> actual;
    for (HWND child = ::GetWindow(frm->Control(parent), GW_CHILD); child;
         child = ::GetWindow(child, GW_HWNDNEXT)) {
      actual.push_back(static_cast<ControlId>(::GetDlgCtrlID(child)));
    }
    EXPECT_EQ(actual, expected) << FindControl(parent == frmMain ? listboxPlace : parent)->name;
  }

  // The window: fixed size, no maximising, centred, captioned, with the icon.
  const HWND window = frm->Handle();
  RECT client;
  ::GetClientRect(window, &client);
  EXPECT_EQ(client.right, scaled(kClientWidth96));
  EXPECT_EQ(client.bottom, scaled(kClientHeight96));
  EXPECT_EQ(GetWindowTextUtf8(window), "Tavi 2.4");
  const LONG style = ::GetWindowLongW(window, GWL_STYLE);
  EXPECT_TRUE(style & WS_MINIMIZEBOX);
  EXPECT_FALSE(style & (WS_MAXIMIZEBOX | WS_THICKFRAME));
  RECT outer;
  ::GetWindowRect(window, &outer);
  EXPECT_NEAR((outer.left + outer.right) / 2, ::GetSystemMetrics(SM_CXSCREEN) / 2, 2);
  EXPECT_NEAR((outer.top + outer.bottom) / 2, ::GetSystemMetrics(SM_CYSCREEN) / 2, 2);
  ::SendMessageW(window, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
  EXPECT_FALSE(::IsZoomed(window));
  ::SendMessageW(window, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  EXPECT_TRUE(::IsIconic(window));
  ::SendMessageW(window, WM_SYSCOMMAND, SC_RESTORE, 0);
  EXPECT_FALSE(::IsIconic(window));
  const auto icon = reinterpret_cast<HICON>(::SendMessageW(window, WM_GETICON, ICON_BIG, 0));
  ICONINFO info{};
  ASSERT_TRUE(::GetIconInfo(icon, &info));
  BITMAP bitmap{};
  ::GetObjectW(info.hbmColor, sizeof bitmap, &bitmap);
  EXPECT_EQ(bitmap.bmWidth, 32);
  EXPECT_EQ(bitmap.bmHeight, 32);
  ::DeleteObject(info.hbmColor);
  ::DeleteObject(info.hbmMask);
}

TEST_F(MainWindowTest, StatusBarPanelsAndTheThreeTooltips) {
  auto frm = Open();
  const HWND status = frm->Control(StatusBar);
  int edges[8] = {};
  ASSERT_EQ(::SendMessageW(status, SB_GETPARTS, 8, reinterpret_cast<LPARAM>(edges)), 5);
  int right = 0;
  const auto panels = StatusPanels();
  for (int i = 0; i < 5; ++i) {
    SCOPED_TRACE(i);
    const StatusPanelSpec& panel = panels[static_cast<size_t>(i)];
    right += ScaleFrom96(panel.width96, frm->Dpi());
    EXPECT_EQ(edges[i], right);
    // The address panel shows the machine's addresses instead (window_connections_test).
    if (i != kAddressPanel) {
      EXPECT_EQ(frm->StatusText(i), panel.text);
    }
    const auto type = HIWORD(::SendMessageW(status, SB_GETTEXTLENGTHW, i, 0));
    const int expectedType = panel.bevel == PanelBevel::Raised ? SBT_POPOUT
                             : panel.bevel == PanelBevel::None ? SBT_NOBORDERS
                                                               : 0;
    EXPECT_EQ(type & (SBT_POPOUT | SBT_NOBORDERS), expectedType);
  }
  frm->SetStatusText(kProgressPanel, "완료");
  EXPECT_EQ(frm->StatusText(kProgressPanel), "완료");

  HWND tooltip = nullptr;
  for (HWND window : ThreadWindows()) {
    wchar_t name[64] = {};
    ::GetClassNameW(window, name, 64);
    if (::lstrcmpiW(name, TOOLTIPS_CLASSW) == 0 && ::GetWindow(window, GW_OWNER) == frm->Handle()) {
      tooltip = window;
    }
  }
  ASSERT_NE(tooltip, nullptr);
  ASSERT_EQ(::SendMessageW(tooltip, TTM_GETTOOLCOUNT, 0, 0), 3);
  for (int i = 0; i < 3; ++i) {
    wchar_t text[128] = {};
    TTTOOLINFOW info{};
    info.cbSize = TTTOOLINFOW_V2_SIZE;
    info.lpszText = text;
    ASSERT_TRUE(::SendMessageW(tooltip, TTM_ENUMTOOLSW, i, reinterpret_cast<LPARAM>(&info)));
    const auto id = static_cast<ControlId>(::GetDlgCtrlID(reinterpret_cast<HWND>(info.uId)));
    const TooltipSpec& expected = MainTooltips()[static_cast<size_t>(i)];
    EXPECT_EQ(id, expected.id);
    EXPECT_EQ(WideToUtf8(text), expected.text);
  }
}

TEST_F(MainWindowTest, CreationStatesThenTheFirstActivationFillsTheListOnce) {
  auto frm = Open(/*show=*/false);
  for (const ControlSpec& c : MainLayout()) {
    SCOPED_TRACE(c.name);
    const bool disabled = c.id == btnSave || c.id == Label1;
    EXPECT_EQ(::IsWindowEnabled(frm->Control(c.id)) == 0, disabled);
  }
  EXPECT_EQ(Observed(*frm), EditingState{});  // nothing selected, white and enabled
  for (ControlId field : {edtPlace, edtIP, edtSubNetMask, edtGateWay, edt1stDNS, edt2ndDNS}) {
    EXPECT_EQ(frm->Text(field), "");
  }
  const HWND list = frm->Control(listboxPlace);
  EXPECT_EQ(::SendMessageW(list, LB_GETCOUNT, 0, 0), 0);
  EXPECT_EQ(frm->Profiles.size(), 3u);
  ASSERT_NE(frm->IniFile, nullptr);

  frm->Show(SW_SHOW);
  ASSERT_EQ(::SendMessageW(list, LB_GETCOUNT, 0, 0), 3);
  EXPECT_EQ(::SendMessageW(list, LB_GETCURSEL, 0, 0), 0);
  EXPECT_EQ(frm->Text(edtPlace), "회사");
  wchar_t third[16] = {};
  ::SendMessageW(list, LB_GETTEXT, 2, reinterpret_cast<LPARAM>(third));
  EXPECT_EQ(WideToUtf8(third), "카페");  // in saved order, not file order

  // Later activations add nothing: through another window and back, and sent directly.
  const HWND other = ::CreateWindowExW(0, L"STATIC", L"other", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50,
                                       nullptr, nullptr, nullptr, nullptr);
  ::SetActiveWindow(other);
  ::SetActiveWindow(frm->Handle());
  ::SendMessageW(frm->Handle(), WM_ACTIVATE, WA_ACTIVE, 0);
  test::PumpMessages();
  ::DestroyWindow(other);
  EXPECT_EQ(::SendMessageW(list, LB_GETCOUNT, 0, 0), 3);
  EXPECT_EQ(::GetFocus(), list);  // the first control of the tab order
}

TEST_F(MainWindowTest, TheFourStatesThroughClicksAndThroughCode) {
  auto frm = Open();
  Click(frm->Control(rdoDHCP));
  Click(frm->Control(rdoAutoDNS));
  EXPECT_EQ(Observed(*frm), State(true, true));
  EXPECT_EQ(PaintedBackground(frm->Control(edtIP)), ::GetSysColor(COLOR_BTNFACE));
  Click(frm->Control(rdoNextDNS));
  EXPECT_EQ(Observed(*frm), State(true, false));
  Click(frm->Control(rdoAutoDNS));
  Click(frm->Control(rdoIP));  // forces manual DNS
  EXPECT_EQ(Observed(*frm), State(false, false));
  EXPECT_EQ(PaintedBackground(frm->Control(edtIP)), ::GetSysColor(COLOR_WINDOW));
  EXPECT_EQ(PaintedBackground(frm->Control(edt1stDNS)), ::GetSysColor(COLOR_WINDOW));

  // A click on the selected button changes nothing, not even btnSave.
  ::EnableWindow(frm->Control(btnSave), FALSE);
  Click(frm->Control(rdoIP));
  Click(frm->Control(rdoNextDNS));
  frm->SetChecked(rdoIP);
  EXPECT_FALSE(::IsWindowEnabled(frm->Control(btnSave)));

  // A disabled field keeps its text and shows it again when enabled.
  frm->SetText(edtIP, "10.0.0.7");
  Click(frm->Control(rdoDHCP));
  EXPECT_FALSE(::IsWindowEnabled(frm->Control(edtIP)));
  EXPECT_EQ(frm->Text(edtIP), "10.0.0.7");

  // Through code: a static address without DNS reaches the fourth state, with rdoAutoDNS
  // selected although disabled; a click on rdoNextDNS leads to the third.
  auto fresh = Open();
  fresh->SetChecked(rdoIP);
  fresh->SetChecked(rdoAutoDNS);
  EXPECT_EQ(Observed(*fresh), State(false, true));
  EXPECT_EQ(PaintedBackground(fresh->Control(edt2ndDNS)), ::GetSysColor(COLOR_BTNFACE));
  Click(fresh->Control(rdoNextDNS));
  EXPECT_EQ(Observed(*fresh), State(false, false));
  fresh->SetChecked(rdoDHCP);
  fresh->SetChecked(rdoAutoDNS);
  EXPECT_EQ(Observed(*fresh), State(true, true));
}

TEST_F(MainWindowTest, ChangesFireOnRealChangesAndTheUsersPickOnly) {
  auto frm = Open();
  const HWND save = frm->Control(btnSave);
  auto saveAfter = [&](auto&& action) {
    ::EnableWindow(save, FALSE);
    action();
    return ::IsWindowEnabled(save) != 0;
  };
  for (ControlId field : {edtPlace, edtIP, edtSubNetMask, edtGateWay, edt1stDNS, edt2ndDNS}) {
    SCOPED_TRACE(FindControl(field)->name);
    EXPECT_TRUE(saveAfter([&] { frm->SetText(field, "1.2.3.4"); }));
    EXPECT_FALSE(saveAfter([&] { frm->SetText(field, "1.2.3.4"); }));  // the same text
    EXPECT_TRUE(saveAfter([&] { ::SendMessageW(frm->Control(field), WM_CHAR, '5', 0); }));
    EXPECT_TRUE(saveAfter([&] { frm->SetText(field, ""); }));
  }

  const HWND nic = frm->Control(cmbNIC);
  for (const wchar_t* name : {L"로컬 영역 연결", L"무선 네트워크 연결"}) {
    ::SendMessageW(nic, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
  }
  EXPECT_FALSE(saveAfter([&] { ::SendMessageW(nic, CB_SETCURSEL, 1, 0); }));
  EXPECT_TRUE(saveAfter([&] {
    ::SetFocus(nic);
    ::SendMessageW(nic, WM_KEYDOWN, VK_UP, 0);  // the user picks the entry above
  }));
  EXPECT_EQ(::SendMessageW(nic, CB_GETCURSEL, 0, 0), 0);
}

TEST_F(MainWindowTest, KeyboardTabOrderRadioGroupsAndAccelerators) {
  auto frm = Open();
  // The middle place (both move buttons live, DHCP), then a static address: manual DNS, so
  // both groups have a tab stop, and btnSave enabled.
  ::SendMessageW(frm->Control(listboxPlace), LB_SETCURSEL, 1, 0);
  frm->listboxPlaceClick();
  frm->SetChecked(rdoIP);

  const char* expected[] = {"listboxPlace", "btnAdd",          "btnDelete", "btnMoveDown",
                            "btnMoveUp",    "btnUpdate",       "btnHelp",   "edtPlace",
                            "cmbNIC",       "rdoIP",           "edtIP",     "edtSubNetMask",
                            "edtGateWay",   "rdoNextDNS",      "edt1stDNS", "edt2ndDNS",
                            "btnSave",      "btnApplyNetWork", "btnClose"};
  const HWND first = frm->Control(listboxPlace);
  HWND at = first;
  for (const char* name : expected) {
    EXPECT_STREQ(FindControl(static_cast<ControlId>(::GetDlgCtrlID(at)))->name, name);
    at = ::GetNextDlgTabItem(frm->Handle(), at, FALSE);
  }
  EXPECT_EQ(at, first);

  // The Tab key itself, through the message loop's dialog keyboard interface.
  ::SetFocus(first);
  Key(WM_KEYDOWN, VK_TAB);
  EXPECT_EQ(::GetFocus(), frm->Control(btnAdd));

  // Accelerators select their radio button; the arrow keys move within a group and select.
  Key(WM_SYSCHAR, 'o');
  EXPECT_TRUE(frm->IsChecked(rdoDHCP));
  EXPECT_EQ(::GetFocus(), frm->Control(rdoDHCP));
  Key(WM_KEYDOWN, VK_DOWN);
  EXPECT_TRUE(frm->IsChecked(rdoIP));
  EXPECT_EQ(::GetFocus(), frm->Control(rdoIP));
  EXPECT_FALSE(frm->IsChecked(rdoDHCP));
  Key(WM_SYSCHAR, 'o');
  Key(WM_SYSCHAR, 'b');
  EXPECT_EQ(Observed(*frm), State(true, true));

  // A label's accelerator moves no focus.
  ::SetFocus(frm->Control(edtPlace));
  Key(WM_SYSCHAR, 'u');
  EXPECT_EQ(::GetFocus(), frm->Control(edtPlace));

  // Enter clicks the focused push button.
  ::SetFocus(frm->Control(btnHelp));
  Key(WM_KEYDOWN, VK_RETURN);
  EXPECT_EQ(prompts_.shown.size(), 1u);
}

TEST_F(MainWindowTest, HelpBoxTextCaptionAndButtons) {
  auto frm = Open();
  Click(frm->Control(btnHelp));
  ASSERT_EQ(prompts_.shown.size(), 1u);
  EXPECT_EQ(prompts_.shown[0].text, HelpText());
  EXPECT_EQ(prompts_.shown[0].caption, "Tavi 도움말");
  EXPECT_EQ(prompts_.shown[0].flags, 128u);  // OK only, the user icon with none supplied
  EXPECT_EQ(prompts_.shown[0].owner, frm->Handle());

  // The system's box shows exactly that: read from another thread, then closed with OK.
  MessageBoxPrompts system;
  auto real = Open(true, false, &system);
  struct Seen {
    std::wstring caption, text;
    std::vector<int> buttons;
    int icons = 0;
  } seen;
  const DWORD uiThread = ::GetCurrentThreadId();
  std::thread watcher([&] {
    for (int tries = 0; tries < 500; ++tries) {
      HWND box = nullptr;
      ::EnumThreadWindows(
          uiThread,
          [](HWND window, LPARAM found) {
            wchar_t name[16] = {};
            ::GetClassNameW(window, name, 16);
            if (::lstrcmpW(name, L"#32770") == 0) *reinterpret_cast<HWND*>(found) = window;
            return TRUE;
          },
          reinterpret_cast<LPARAM>(&box));
      if (!box) {
        ::Sleep(20);
        continue;
      }
      seen.caption = Utf8ToWide(GetWindowTextUtf8(box));
      seen.text = Utf8ToWide(GetWindowTextUtf8(::GetDlgItem(box, 0xFFFF)));
      for (HWND child = ::GetWindow(box, GW_CHILD); child;
           child = ::GetWindow(child, GW_HWNDNEXT)) {
        wchar_t name[16] = {};
        ::GetClassNameW(child, name, 16);
        const LONG style = ::GetWindowLongW(child, GWL_STYLE);
        if (::lstrcmpiW(name, L"Button") == 0 && (style & WS_VISIBLE)) {
          seen.buttons.push_back(::GetDlgCtrlID(child));
        }
        if (::lstrcmpiW(name, L"Static") == 0 && (style & SS_TYPEMASK) == SS_ICON &&
            (style & WS_VISIBLE) && ::SendMessageW(child, STM_GETICON, 0, 0)) {
          ++seen.icons;
        }
      }
      ::PostMessageW(box, WM_COMMAND, IDOK, 0);
      return;
    }
  });
  Click(real->Control(btnHelp));  // returns once the watcher has closed the box
  watcher.join();
  EXPECT_EQ(WideToUtf8(seen.caption), "Tavi 도움말");
  EXPECT_EQ(WideToUtf8(seen.text), HelpText());
  EXPECT_EQ(seen.buttons, std::vector<int>{IDOK});
  EXPECT_EQ(seen.icons, 0);
}

TEST_F(MainWindowTest, AnErrorEscapingAHandlerIsShownAndTheProgramGoesOn) {
  auto frm = Open();
  prompts_.onShow = [](const test::ScriptedPrompts::Prompt& prompt) {
    if (prompt.caption != "Tavi") throw IniWriteError("C:\\places\\tavi.ini");
  };
  Click(frm->Control(btnHelp));
  ASSERT_EQ(prompts_.shown.size(), 2u);
  EXPECT_EQ(prompts_.shown[1].text, "Unable to write to C:\\places\\tavi.ini");
  EXPECT_EQ(prompts_.shown[1].caption, "Tavi");
  EXPECT_EQ(prompts_.shown[1].flags, static_cast<UINT>(MB_OK | MB_ICONERROR));
  EXPECT_EQ(prompts_.shown[1].owner, frm->Handle());

  prompts_.onShow = nullptr;
  Click(frm->Control(btnHelp));
  EXPECT_EQ(prompts_.shown.size(), 3u);
  EXPECT_TRUE(::IsWindow(frm->Handle()));
}

TEST_F(MainWindowTest, ClosingDestroysTheWindowAndFreesEverything) {
  auto frm = Open();
  const HWND window = frm->Handle();
  const auto font =
      reinterpret_cast<HGDIOBJ>(::SendMessageW(frm->Control(edtPlace), WM_GETFONT, 0, 0));
  const auto bold =
      reinterpret_cast<HGDIOBJ>(::SendMessageW(frm->Control(Label1), WM_GETFONT, 0, 0));
  const auto icon = reinterpret_cast<HICON>(::SendMessageW(window, WM_GETICON, ICON_BIG, 0));
  ASSERT_NE(::GetObjectType(font), 0u);
  ASSERT_NE(::GetObjectType(bold), 0u);

  Click(frm->Control(btnClose));
  test::PumpMessages();
  EXPECT_FALSE(::IsWindow(window));
  EXPECT_EQ(frm->Handle(), nullptr);
  EXPECT_EQ(frm->Control(edtPlace), nullptr);
  EXPECT_TRUE(ThreadWindows().empty());  // the tooltip went with its owner
  EXPECT_EQ(::GetObjectType(font), 0u);
  EXPECT_EQ(::GetObjectType(bold), 0u);
  ICONINFO info{};
  EXPECT_FALSE(::GetIconInfo(icon, &info));
  EXPECT_TRUE(frm->Profiles.empty());
  EXPECT_EQ(frm->IniFile, nullptr);
}

void CALLBACK Failsafe(HWND, UINT, UINT_PTR, DWORD) {
  ::PostQuitMessage(99);
}

TEST_F(MainWindowTest, ClosingEndsTheMessageLoopThenTheWindowIsDestroyed) {
  for (int route = 0; route < 2; ++route) {
    SCOPED_TRACE(route);
    auto frm = Open(true, /*quitOnClose=*/true);
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 10000, Failsafe);
    if (route == 0) {
      ::PostMessageW(frm->Control(btnClose), BM_CLICK, 0, 0);
    } else {
      ::PostMessageW(frm->Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);  // Alt+F4, the title bar
    }
    EXPECT_EQ(RunMessageLoop(), 0);
    ::KillTimer(nullptr, timer);
    EXPECT_TRUE(::IsWindow(frm->Handle()));  // the loop ends first
    frm.reset();
    EXPECT_TRUE(ThreadWindows().empty());
  }
}

TEST_F(MainWindowTest, TheTextFieldsAskForAKoreanKeyboardLayout) {
  auto frm = Open();
  const HKL before = ::GetKeyboardLayout(0);
  std::vector<HKL> layouts(static_cast<size_t>(::GetKeyboardLayoutList(0, nullptr)));
  layouts.resize(static_cast<size_t>(
      ::GetKeyboardLayoutList(static_cast<int>(layouts.size()), layouts.data())));
  bool korean = false;
  for (HKL layout : layouts)
    korean |= (reinterpret_cast<UINT_PTR>(layout) & 0x3FF) == 0x12;

  ::SetFocus(frm->Control(edtPlace));
  test::PumpMessages();
  const auto language = reinterpret_cast<UINT_PTR>(::GetKeyboardLayout(0)) & 0x3FF;
  if (korean) {
    EXPECT_EQ(language, 0x12u);
  }
  ::SetFocus(frm->Control(btnAdd));
  test::PumpMessages();
  EXPECT_EQ(::GetKeyboardLayout(0), before);
}

}  // namespace
}  // namespace tavi
