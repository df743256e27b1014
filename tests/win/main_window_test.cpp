// The real main window under Wine: layout, enabling rules, keyboard, help, errors, closing,
// and what start-up shows of the machine.
#include <gtest/gtest.h>
#include <iphlpapi.h>
#include <windows.h>
#include <winsock2.h>

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "app/app_info.h"
#include "app/main_layout.h"
#include "app/version.h"
#include "win/message_loop_win32.h"
#include "window_test.h"

namespace tavi {
namespace {

using enum ControlId;
using Names = std::vector<std::string>;

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

HGDIOBJ FontOf(HWND control) {
  return reinterpret_cast<HGDIOBJ>(::SendMessageW(control, WM_GETFONT, 0, 0));
}

int TextWidth(HWND control) {
  const std::wstring text = Utf8ToWide(GetWindowTextUtf8(control));
  HDC dc = ::GetDC(control);
  const HGDIOBJ old = ::SelectObject(dc, FontOf(control));
  RECT r{0, 0, 0, 0};
  ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_SINGLELINE | DT_CALCRECT);
  ::SelectObject(dc, old);
  ::ReleaseDC(control, dc);
  return r.right;
}

// The thread's top-level windows, less the input-method windows the system keeps per thread.
std::vector<HWND> ThreadWindows() {
  std::vector<HWND> windows;
  for (HWND window = nullptr; (window = ::FindWindowExW(nullptr, window, nullptr, nullptr));) {
    wchar_t name[64] = {};
    ::GetClassNameW(window, name, 64);
    const std::wstring_view className = name;
    if (::GetWindowThreadProcessId(window, nullptr) == ::GetCurrentThreadId() &&
        className != L"IME" && className != L"MSCTFIME UI" && className != L"WineX11IME") {
      windows.push_back(window);
    }
  }
  return windows;
}

// A key press, seen by the message loop's dialog keyboard interface.
void Key(UINT message, WPARAM key) {
  ::PostMessageW(::GetFocus(), message, key, message == WM_SYSCHAR ? (1 << 29) : 0);
  ProcessMessages();
}

// The window must agree with the enabling rules, whose four states have native tests.
EditingState Rules(std::initializer_list<ControlId> radios) {
  EditingState s;
  for (ControlId radio : radios)
    s = SelectRadio(s, radio);
  return s;
}

class MainWindowTest : public test::WindowTest {
 protected:
  void SetUp() override { WriteIni(kThreePlaces); }

  std::unique_ptr<TfrmMain> Open(bool show = true, bool quitOnClose = false) {
    TfrmMainOptions options = Options();
    options.quitOnClose = quitOnClose;
    test::WindowTest::Open(std::move(options), show);
    return std::move(frm_);
  }

  // The editing controls as the enabling rules describe them; the controls of a group agree.
  static EditingState Observed(const TfrmMain& frm) {
    auto on = [&](ControlId id) { return ::IsWindowEnabled(frm.Control(id)) != 0; };
    auto group = [&](std::initializer_list<ControlId> ids) {
      for (ControlId id : ids)
        EXPECT_EQ(on(id), on(*ids.begin())) << FindControl(id)->name;
      return on(*ids.begin());
    };
    return {frm.IsChecked(rdoDHCP),
            frm.IsChecked(rdoIP),
            frm.IsChecked(rdoAutoDNS),
            frm.IsChecked(rdoNextDNS),
            group({edtIP, edtSubNetMask, edtGateWay, lblIP, lblSubNetMask, lblGateWay}),
            frm.FieldBackground(edtGateWay),
            on(rdoAutoDNS),
            group({edt1stDNS, edt2ndDNS, lbl1stDNS, lbl2ndDNS}),
            frm.FieldBackground(edt1stDNS),
            on(btnSave)};
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
};

// Every control and status-bar panel as the tables say at that resolution, each value of the
// table scaled alone, with the window's fonts; the client area too.
void ExpectLayout(const TfrmMain& frm, int dpi) {
  auto scaled = [dpi](int value) { return ScaleFrom96(value, dpi); };
  for (const ControlSpec& c : MainLayout()) {
    SCOPED_TRACE(c.name);
    const HWND control = frm.Control(c.id);
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(::GetParent(control), frm.Control(c.parent));
    EXPECT_TRUE(::GetWindowLongW(control, GWL_STYLE) & WS_VISIBLE);
    const RECT r = RectInParent(control);
    EXPECT_EQ(r.left, scaled(c.left96));
    EXPECT_EQ(r.top, scaled(c.top96));
    // A label is as wide as the table says, or as its text where the font draws wider, and
    // lies under no other control (which would paint over it).
    const bool label = c.kind == ControlKind::Label;
    EXPECT_EQ(r.right - r.left, label && !(c.flags & kWordWrap)
                                    ? std::max(scaled(c.width96), TextWidth(control))
                                    : scaled(c.width96));
    for (HWND sibling = ::GetWindow(::GetParent(control), GW_CHILD); label && sibling;
         sibling = ::GetWindow(sibling, GW_HWNDNEXT)) {
      const ControlSpec* other = FindControl(static_cast<ControlId>(::GetDlgCtrlID(sibling)));
      if (!other || other->kind == ControlKind::Label) continue;
      RECT both;
      const RECT theirs = RectInParent(sibling);
      EXPECT_FALSE(::IntersectRect(&both, &r, &theirs)) << "covers " << other->name;
    }
    EXPECT_EQ(r.bottom - r.top, scaled(c.height96));
    if (c.kind != ControlKind::Edit && c.kind != ControlKind::ListBox &&
        c.kind != ControlKind::DropDownList && c.kind != ControlKind::Status) {
      EXPECT_EQ(GetWindowTextUtf8(control), c.text);
    }
    LOGFONTW font{};
    ::GetObjectW(FontOf(control), sizeof font, &font);
    EXPECT_EQ(font.lfHeight, -scaled(kFontHeight96));
    EXPECT_EQ(font.lfCharSet, HANGUL_CHARSET);
    EXPECT_EQ(WideToUtf8(font.lfFaceName), kFontFace);
    EXPECT_EQ(font.lfWeight, c.id == Label1 ? FW_BOLD : FW_NORMAL);
    if (c.kind == ControlKind::PushButton) {
      EXPECT_EQ(reinterpret_cast<HCURSOR>(::GetClassLongPtrW(control, GCLP_HCURSOR)),
                ::LoadCursorW(nullptr, IDC_HAND));
    }
  }
  EXPECT_EQ(::SendMessageW(frm.Control(listboxPlace), LB_GETITEMHEIGHT, 0, 0),
            scaled(kListItemHeight96));
  const HWND status = frm.Control(StatusBar);
  int edges[8] = {};
  ASSERT_EQ(::SendMessageW(status, SB_GETPARTS, 8, reinterpret_cast<LPARAM>(edges)), 5);
  EXPECT_EQ(std::vector<int>(edges, edges + 5), StatusPanelEdges(dpi));
  for (int i = 0; i < 5; ++i) {
    SCOPED_TRACE(i);
    const StatusPanelSpec& panel = StatusPanels()[static_cast<size_t>(i)];
    // The address panel shows the machine's addresses instead (the start-up case below).
    if (i != kAddressPanel) {
      EXPECT_EQ(frm.StatusText(i), panel.text);
    }
    const int type = HIWORD(::SendMessageW(status, SB_GETTEXTLENGTHW, i, 0));
    EXPECT_EQ(type & SBT_POPOUT, panel.bevel == PanelBevel::Raised ? SBT_POPOUT : 0);
    EXPECT_EQ(type & SBT_NOBORDERS, panel.bevel == PanelBevel::None ? SBT_NOBORDERS : 0);
  }
  RECT client;
  ::GetClientRect(frm.Handle(), &client);
  EXPECT_EQ(client.right, scaled(kClientWidth96));
  EXPECT_EQ(client.bottom, scaled(kClientHeight96));
}

// Created hidden: every control and panel as the tables say, nothing selected; the first
// activation then fills the list, once, and the tooltips follow.
TEST_F(MainWindowTest, CreatedAsTheTablesSayThenTheFirstActivationFillsTheListOnce) {
  auto frm = Open(/*show=*/false);
  // The resolution that the suite's prefix gives the screen (LogPixels): 96, or the one named.
  const std::string dpi = test::EnvironmentValue("TAVI_TEST_DPI");
  ASSERT_EQ(frm->Dpi(), dpi.empty() ? 96 : std::stoi(dpi));
  ExpectLayout(*frm, frm->Dpi());
  EXPECT_FALSE(::IsWindowEnabled(frm->Control(Label1)));
  EXPECT_EQ(Observed(*frm), EditingState{});  // nothing selected, white and enabled, no save

  // The window: fixed size, no maximising, captioned, centred (at the screen's left or top
  // edge where it is larger than the screen).
  const HWND window = frm->Handle();
  EXPECT_EQ(GetWindowTextUtf8(window),
            "Tavi " TAVI_STRINGIZE(TAVI_VERSION_MAJOR) "." TAVI_STRINGIZE(TAVI_VERSION_MINOR));
  const LONG style = ::GetWindowLongW(window, GWL_STYLE);
  EXPECT_TRUE(style & WS_MINIMIZEBOX);
  EXPECT_FALSE(style & (WS_MAXIMIZEBOX | WS_THICKFRAME));
  RECT outer;
  ::GetWindowRect(window, &outer);
  EXPECT_NEAR(outer.left,
              std::max(0L, (::GetSystemMetrics(SM_CXSCREEN) - outer.right + outer.left) / 2), 2);
  EXPECT_NEAR(outer.top,
              std::max(0L, (::GetSystemMetrics(SM_CYSCREEN) - outer.bottom + outer.top) / 2), 2);

  const HWND list = frm->Control(listboxPlace);
  EXPECT_EQ(test::Items(list), Names{});
  EXPECT_EQ(frm->Profiles.size(), 3u);
  frm->Show(SW_SHOW);
  EXPECT_EQ(test::Items(list), (Names{"회사", "집", "카페"}));  // in saved order, not file order
  EXPECT_EQ(::SendMessageW(list, LB_GETCURSEL, 0, 0), 0);
  EXPECT_EQ(frm->Text(edtPlace), "회사");
  // The tooltips come once the shown window processes its messages.
  ProcessMessages();
  HWND tooltip = nullptr;
  while ((tooltip = ::FindWindowExW(nullptr, tooltip, TOOLTIPS_CLASSW, nullptr)) &&
         ::GetWindow(tooltip, GW_OWNER) != frm->Handle()) {
  }
  ASSERT_NE(tooltip, nullptr);
  ASSERT_EQ(::SendMessageW(tooltip, TTM_GETTOOLCOUNT, 0, 0), 3);
  for (size_t i = 0; i < 3; ++i) {
    wchar_t text[128] = {};
    TTTOOLINFOW info{};
    info.cbSize = TTTOOLINFOW_V2_SIZE;
    info.lpszText = text;
    ASSERT_TRUE(::SendMessageW(tooltip, TTM_ENUMTOOLSW, i, reinterpret_cast<LPARAM>(&info)));
    EXPECT_EQ(reinterpret_cast<HWND>(info.uId), frm->Control(MainTooltips()[i].id));
  }

  // Later activations add nothing.
  ::SendMessageW(window, WM_ACTIVATE, WA_ACTIVE, 0);
  ::SendMessageW(window, WM_ACTIVATE, WA_CLICKACTIVE, 0);
  EXPECT_EQ(test::Items(list).size(), 3u);
  EXPECT_EQ(::GetFocus(), list);  // the first control of the tab order
  ::SendMessageW(window, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
  EXPECT_FALSE(::IsZoomed(window));
}

int IconWidth(HICON icon) {
  ICONINFO info{};
  if (!::GetIconInfo(icon, &info)) return 0;
  BITMAP bitmap{};
  ::GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
  if (info.hbmColor) ::DeleteObject(info.hbmColor);
  if (info.hbmMask) ::DeleteObject(info.hbmMask);
  return bitmap.bmWidth;
}

// Moved to a monitor of another resolution (WM_DPICHANGED), the window lays itself out, draws
// its fonts and takes its icons for that one; and back.
TEST_F(MainWindowTest, ADpiChangeLaysTheWindowOutAgainWithItsFontsAndIcons) {
  auto frm = Open(/*show=*/false);
  const HWND window = frm->Handle();
  frm->Show(SW_SHOWNOACTIVATE);
  ProcessMessages();  // the icon comes after the first paint
  ASSERT_FALSE(trayCalls_.empty());
  const int start = frm->Dpi();
  for (const int dpi : {start == 96 ? 144 : 96, start}) {
    SCOPED_TRACE(dpi);
    RECT suggested;
    ::GetWindowRect(window, &suggested);
    constexpr UINT kDpiChanged = 0x02E0;
    ::SendMessageW(window, kDpiChanged, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
    EXPECT_EQ(frm->Dpi(), dpi);
    ExpectLayout(*frm, dpi);
    const auto small = reinterpret_cast<HICON>(::SendMessageW(window, WM_GETICON, ICON_SMALL, 0));
    const auto big = reinterpret_cast<HICON>(::SendMessageW(window, WM_GETICON, ICON_BIG, 0));
    EXPECT_EQ(IconWidth(small), ScaleFrom96(16, dpi));
    EXPECT_EQ(IconWidth(big), ScaleFrom96(32, dpi));
    EXPECT_EQ(trayCalls_.back().icon, small);  // the notification area shows the new one
  }
}

// The editing controls follow the clicks on the radio buttons (the fourth state, a static
// address without DNS, comes only through code: selecting such a place, win_place_list_test);
// btnSave follows real changes and the user's pick only.
TEST_F(MainWindowTest, TheStatesThroughClicksAndTheChangesThatEnableSave) {
  auto frm = Open();
  const HWND save = frm->Control(btnSave);
  auto saveAfter = [&](auto&& action) {
    ::EnableWindow(save, FALSE);
    action();
    return ::IsWindowEnabled(save) != 0;
  };
  Click(frm->Control(rdoDHCP));
  Click(frm->Control(rdoAutoDNS));
  EXPECT_EQ(Observed(*frm), Rules({rdoDHCP, rdoAutoDNS}));
  for (ControlId field : {edtIP, edt2ndDNS})
    EXPECT_EQ(PaintedBackground(frm->Control(field)), ::GetSysColor(COLOR_BTNFACE));
  Click(frm->Control(rdoNextDNS));
  EXPECT_EQ(Observed(*frm), Rules({rdoDHCP, rdoNextDNS}));
  Click(frm->Control(rdoAutoDNS));
  Click(frm->Control(rdoIP));  // forces manual DNS
  EXPECT_EQ(Observed(*frm), Rules({rdoIP, rdoNextDNS}));
  EXPECT_EQ(PaintedBackground(frm->Control(edt1stDNS)), ::GetSysColor(COLOR_WINDOW));
  // A click on the selected button changes nothing, not even btnSave.
  EXPECT_FALSE(saveAfter([&] {
    Click(frm->Control(rdoIP));
    Click(frm->Control(rdoNextDNS));
    frm->SetChecked(rdoIP);
  }));

  for (ControlId field : {edtPlace, edtIP, edtSubNetMask, edtGateWay, edt1stDNS, edt2ndDNS}) {
    SCOPED_TRACE(FindControl(field)->name);
    EXPECT_TRUE(saveAfter([&] { frm->SetText(field, "1.2.3.4"); }));
    EXPECT_FALSE(saveAfter([&] { frm->SetText(field, "1.2.3.4"); }));  // the same text
    EXPECT_TRUE(saveAfter([&] { ::SendMessageW(frm->Control(field), WM_CHAR, '5', 0); }));
  }

  const HWND nic = frm->Control(cmbNIC);
  for (const wchar_t* name : {L"로컬 영역 연결", L"무선 네트워크 연결"})
    ::SendMessageW(nic, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
  EXPECT_FALSE(saveAfter([&] { ::SendMessageW(nic, CB_SETCURSEL, 1, 0); }));
  EXPECT_TRUE(saveAfter([&] {
    ::SetFocus(nic);
    ::SendMessageW(nic, WM_KEYDOWN, VK_UP, 0);  // the user picks the entry above
  }));
}

TEST_F(MainWindowTest, KeyboardTabOrderRadioGroupsAcceleratorsThenHelpAndAnEscapedError) {
  auto frm = Open();
  // The middle place (both move buttons live), then a static address: manual DNS, so both
  // radio groups have a tab stop, and btnSave enabled.
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
  ::SetFocus(first);
  Key(WM_KEYDOWN, VK_TAB);
  EXPECT_EQ(::GetFocus(), frm->Control(btnAdd));

  // Accelerators select their radio button; the arrow keys move within a group and select.
  Key(WM_SYSCHAR, 'o');
  EXPECT_EQ(::GetFocus(), frm->Control(rdoDHCP));
  Key(WM_KEYDOWN, VK_DOWN);
  EXPECT_EQ(::GetFocus(), frm->Control(rdoIP));
  EXPECT_TRUE(frm->IsChecked(rdoIP) && !frm->IsChecked(rdoDHCP));
  Key(WM_SYSCHAR, 'o');
  Key(WM_SYSCHAR, 'b');
  EXPECT_EQ(Observed(*frm), Rules({rdoDHCP, rdoAutoDNS}));

  // A label's accelerator moves no focus; Enter clicks the focused push button: the help, only
  // OK and no icon of the system's. An error escaping the handler is shown, and the program
  // goes on.
  ::SetFocus(frm->Control(edtPlace));
  Key(WM_SYSCHAR, 'u');
  EXPECT_EQ(::GetFocus(), frm->Control(edtPlace));
  prompts_.onShow = [](const test::ScriptedPrompts::Prompt& prompt) {
    if (prompt.caption != "Tavi") throw IniWriteError("C:\\places\\tavi.ini");
  };
  ::SetFocus(frm->Control(btnHelp));
  Key(WM_KEYDOWN, VK_RETURN);
  ASSERT_EQ(prompts_.shown.size(), 2u);
  EXPECT_EQ(prompts_.shown[0].caption, "Tavi 도움말");
  EXPECT_EQ(prompts_.shown[0].flags, static_cast<UINT>(MB_OK | MB_USERICON));
  EXPECT_EQ(prompts_.shown[0].owner, frm->Handle());
  prompts_.shown.erase(prompts_.shown.begin());
  EXPECT_EQ(
      ExpectBox("Unable to write to C:\\places\\tavi.ini", "Tavi", MB_OK | MB_ICONERROR).owner,
      frm->Handle());
  prompts_.onShow = nullptr;
  Key(WM_KEYDOWN, VK_RETURN);
  EXPECT_EQ(prompts_.shown.size(), 1u);
}

void CALLBACK Failsafe(HWND, UINT, UINT_PTR, DWORD) {
  ::PostQuitMessage(99);
}

// Asks Wine's notification area about the window's icon (its one, number 1): NIM_MODIFY
// changes nothing and succeeds only while it is there.
bool InNotificationArea(HWND window, DWORD message = NIM_MODIFY) {
  NOTIFYICONDATAW data{};
  data.cbSize = NOTIFYICONDATAW_V2_SIZE;
  data.hWnd = window;
  data.uID = 1;
  return ::Shell_NotifyIconW(message, &data) != FALSE;
}

// The icon stands in the notification area while the window runs, comes back when the shell
// restarts, and goes before the window does, whichever way it is closed.
TEST_F(MainWindowTest, ClosingEndsTheMessageLoopThenEverythingIsFreed) {
  realTray_ = true;
  for (int route = 0; route < 3; ++route) {
    SCOPED_TRACE(route);
    trayCalls_.clear();
    auto frm = Open(true, /*quitOnClose=*/true);
    const HWND window = frm->Handle();
    const HGDIOBJ fonts[] = {FontOf(frm->Control(edtPlace)), FontOf(frm->Control(Label1))};
    const auto icon = reinterpret_cast<HICON>(::SendMessageW(window, WM_GETICON, ICON_BIG, 0));
    ASSERT_TRUE(::GetObjectType(fonts[0]) && ::GetObjectType(fonts[1]) && icon);
    ASSERT_EQ(trayCalls_.size(), 1u);
    EXPECT_EQ(trayCalls_[0].message, static_cast<DWORD>(NIM_ADD));
    EXPECT_EQ(trayCalls_[0].window, window);
    EXPECT_EQ(trayCalls_[0].icon,
              reinterpret_cast<HICON>(::SendMessageW(window, WM_GETICON, ICON_SMALL, 0)));
    EXPECT_EQ(trayCalls_[0].tip, "Tavi");
    EXPECT_TRUE(InNotificationArea(window));
    if (route == 0) {
      // A restarted shell has forgotten it and asks; one that still has it keeps one.
      ASSERT_TRUE(InNotificationArea(window, NIM_DELETE));
      const UINT taskbarCreated = ::RegisterWindowMessageW(L"TaskbarCreated");
      ::SendMessageW(window, taskbarCreated, 0, 0);
      EXPECT_TRUE(InNotificationArea(window));
      ::SendMessageW(window, taskbarCreated, 0, 0);
      EXPECT_TRUE(InNotificationArea(window));
      // A left click on the icon brings the minimised window back.
      ::ShowWindow(window, SW_MINIMIZE);
      ::SendMessageW(window, TfrmMain::kTrayMessage, 1, WM_LBUTTONUP);
      EXPECT_FALSE(::IsIconic(window));
    }
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 10000, Failsafe);
    if (route == 0) {
      ::PostMessageW(frm->Control(btnClose), BM_CLICK, 0, 0);
    } else if (route == 1) {
      ::PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);  // Alt+F4, the title bar
    } else {
      EXPECT_EQ(TrayMenu(5, window), (Names{"회사", "집", "카페", "", "열기", "닫기"}));
    }
    EXPECT_EQ(RunMessageLoop(), 0);
    ::KillTimer(nullptr, timer);
    EXPECT_TRUE(::IsWindow(window));  // the loop ends first
    EXPECT_FALSE(InNotificationArea(window));
    EXPECT_EQ(trayCalls_.back().message, static_cast<DWORD>(NIM_DELETE));
    frm.reset();
    EXPECT_TRUE(ThreadWindows().empty());  // the tooltip went with its owner
    for (HGDIOBJ font : fonts)             // normal and bold
      EXPECT_EQ(::GetObjectType(font), 0u);
    ICONINFO info{};
    EXPECT_FALSE(::GetIconInfo(icon, &info));
  }
}

// The IPv4 addresses of the adapters, loopback aside: what the host's own name resolves to
// on Windows and under Wine.
Names AdapterAddresses() {
  ULONG size = 0;
  ::GetIpAddrTable(nullptr, &size, FALSE);
  std::vector<BYTE> buffer(size);
  auto* table = reinterpret_cast<MIB_IPADDRTABLE*>(buffer.data());
  Names addresses;
  if (::GetIpAddrTable(table, &size, TRUE) != NO_ERROR) return addresses;
  for (DWORD i = 0; i < table->dwNumEntries; ++i) {
    in_addr address;
    address.s_addr = table->table[i].dwAddr;
    if (address.s_addr != 0 && address.S_un.S_un_b.s_b1 != 127)
      addresses.push_back(::inet_ntoa(address));
  }
  return addresses;
}

// Start-up shows the machine's addresses in the status bar. (The connections that start-up
// lists in cmbNIC have their fuzz oracle, adapter_matching, and an end-to-end case.)
TEST_F(MainWindowTest, StartUpShowsTheMachinesAddresses) {
  auto frm = Open();
  // Every address followed by CR LF, which Wine's status bar keeps as two blanks.
  Names expected = AdapterAddresses();
  if (expected.empty()) GTEST_SKIP() << "no adapter address here to compare with";
  std::string text = frm->StatusText(kAddressPanel);
  Names shown;
  for (std::size_t end; (end = text.find("  ")) != std::string::npos; text.erase(0, end + 2))
    shown.push_back(text.substr(0, end));
  EXPECT_EQ(text, "");
  std::ranges::sort(shown);
  std::ranges::sort(expected);
  EXPECT_EQ(shown, expected);
}

}  // namespace
}  // namespace tavi
