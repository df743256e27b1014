// The main window's life: creation, the window procedure, activation and closing.
#include "app/main_window_win32.h"

#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <stdexcept>
#include <utility>

#include "app/command_line.h"
#include "app/custom_controls_win32.h"
#include "app/newer_windows_win32.h"
#include "app/scoped_flag.h"
#include "netcfg/connection_reader_win32.h"
#include "profiles/private_profile_win32.h"
#include "profiles/profile_list.h"
#include "profiles/profile_store.h"
#include "win/message_loop_win32.h"
#include "win/text_win32.h"

namespace tavi {
namespace {

constexpr wchar_t kMainClass[] = L"TfrmMain";
// Posted by the first Show: the work that nothing on screen needs is done once the window has
// been painted.
constexpr UINT kAfterFirstPaint = WM_APP + 1;
constexpr DWORD kMainStyle =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;

HINSTANCE ModuleInstance() {
  return ::GetModuleHandleW(nullptr);
}

// The event bindings: which notification of which control runs which handler.
struct CommandBinding {
  ControlId id;
  UINT code;
  void (TfrmMain::*handler)();
};

constexpr CommandBinding kBindings[] = {
    {ControlId::listboxPlace, LBN_SELCHANGE, &TfrmMain::listboxPlaceClick},
    {ControlId::listboxPlace, LBN_DBLCLK, &TfrmMain::listboxPlaceDblClick},
    {ControlId::btnAdd, BN_CLICKED, &TfrmMain::btnAddClick},
    {ControlId::btnDelete, BN_CLICKED, &TfrmMain::btnDeleteClick},
    {ControlId::btnMoveUp, BN_CLICKED, &TfrmMain::btnMoveUpClick},
    {ControlId::btnMoveDown, BN_CLICKED, &TfrmMain::btnMoveDownClick},
    {ControlId::btnUpdate, BN_CLICKED, &TfrmMain::btnUpdateClick},
    {ControlId::btnHelp, BN_CLICKED, &TfrmMain::btnHelpClick},
    {ControlId::btnClose, BN_CLICKED, &TfrmMain::btnCloseClick},
    {ControlId::Label1, STN_CLICKED, &TfrmMain::Label1Click},
    {ControlId::edtPlace, EN_CHANGE, &TfrmMain::edtPlaceChange},
    {ControlId::cmbNIC, CBN_SELCHANGE, &TfrmMain::edtPlaceChange},  // the user's pick only
    {ControlId::edtIP, EN_CHANGE, &TfrmMain::edtPlaceChange},
    {ControlId::edtSubNetMask, EN_CHANGE, &TfrmMain::edtPlaceChange},
    {ControlId::edtGateWay, EN_CHANGE, &TfrmMain::edtPlaceChange},
    {ControlId::edt1stDNS, EN_CHANGE, &TfrmMain::edtPlaceChange},
    {ControlId::edt2ndDNS, EN_CHANGE, &TfrmMain::edtPlaceChange},
    {ControlId::btnSave, BN_CLICKED, &TfrmMain::btnSaveClick},
    {ControlId::btnApplyNetWork, BN_CLICKED, &TfrmMain::btnApplyNetWorkClick},
};

// Sent when the window moves to a monitor of another resolution (Windows 8.1 and later).
constexpr UINT kDpiChangedMessage = 0x02E0;

// Broadcast by the shell when its taskbar (re)starts, without the icons it had.
UINT TaskbarCreatedMessage() {
  static const UINT message = ::RegisterWindowMessageW(L"TaskbarCreated");
  return message;
}

bool MouseButtonDown() {
  const int primary = ::GetSystemMetrics(SM_SWAPBUTTON) ? VK_RBUTTON : VK_LBUTTON;
  return ::GetKeyState(primary) < 0;
}

}  // namespace

TfrmMainOptions TfrmMainOptions::ForProcess() {
  TfrmMainOptions options;
  options.arguments = CommandLineArguments(WideToUtf8(::GetCommandLineW()));
  options.quitOnClose = true;
  return options;
}

TfrmMain::TfrmMain(TfrmMainOptions options)
    : options_(std::move(options)),
      prompts_(options_.prompts ? options_.prompts : &systemPrompts_) {
  if (!options_.readConnection) options_.readConnection = ReadConnection;
  // ipconfig is the slowest part of the start: it runs while everything else is made. (A start
  // that installs an update ends in the updater's creation, its listing unread.)
  adapterDiscovery_.Start();
  // A start that installs an update ends in here, before any window exists.
  CreateUpdater();
  const HINSTANCE instance = ModuleInstance();
  static const bool registered = [instance] {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_BAR_CLASSES |
                                                       ICC_TAB_CLASSES | ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);
    RegisterCustomControls(instance);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kMainClass;
    return ::RegisterClassExW(&windowClass) != 0;
  }();
  if (!registered) throw std::runtime_error("Cannot register the main window class");

  // The window's own resolution is known once it exists (OnCreate); it starts on the primary
  // monitor, whose resolution is the system's.
  dpi_ = SystemDpi();
  RECT frame{0, 0, ScaleFrom96(kClientWidth96, dpi_), ScaleFrom96(kClientHeight96, dpi_)};
  AdjustWindowRectForDpi(frame, kMainStyle, WS_EX_CONTROLPARENT, dpi_);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  const int left = std::max(0, (::GetSystemMetrics(SM_CXSCREEN) - width) / 2);
  const int top = std::max(0, (::GetSystemMetrics(SM_CYSCREEN) - height) / 2);
  const HWND created =
      ::CreateWindowExW(WS_EX_CONTROLPARENT, kMainClass, Utf8ToWide(MainCaption()).c_str(),
                        kMainStyle, left, top, width, height, nullptr, nullptr, instance, this);
  if (!created) throw std::runtime_error("Cannot create the main window");
}

TfrmMain::~TfrmMain() {
  if (window_) ::DestroyWindow(window_);
}

// ---- The window procedure ----------------------------------------------------------------

LRESULT CALLBACK TfrmMain::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<TfrmMain*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->window_ = window;
    ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    ScaleNonClientArea(window);
  }
  auto* self = reinterpret_cast<TfrmMain*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!self) return ::DefWindowProcW(window, message, wParam, lParam);
  LRESULT result = 0;
  self->Guard([&] { result = self->HandleMessage(message, wParam, lParam); });
  return result;
}

LRESULT TfrmMain::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      OnCreate();
      return 0;
    case WM_ACTIVATE:
      OnActivate(wParam);
      return 0;
    case WM_COMMAND:
      OnCommand(static_cast<ControlId>(LOWORD(wParam)), HIWORD(wParam));
      return 0;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      return OnControlColor(message, reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_DRAWITEM: {
      const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      if (item.CtlType != ODT_BUTTON || !IsXpButton(item.hwndItem)) break;
      DrawXpButton(item);
      return TRUE;
    }
    case WM_SYSCOMMAND:
      // A fixed-size window: no maximising or sizing, whatever asks for it.
      if ((wParam & 0xFFF0) == SC_MAXIMIZE || (wParam & 0xFFF0) == SC_SIZE) return 0;
      break;
    case WM_GETMINMAXINFO: {
      // The client area is the layout's whatever the screen: the system would cut a window
      // larger than the screen (the layout at 150 % on a screen of 1024 pixels) to its size.
      auto& info = *reinterpret_cast<MINMAXINFO*>(lParam);
      ::DefWindowProcW(window_, message, wParam, lParam);
      const SIZE frame = FrameSize();
      info.ptMaxTrackSize.x = std::max(info.ptMaxTrackSize.x, frame.cx);
      info.ptMaxTrackSize.y = std::max(info.ptMaxTrackSize.y, frame.cy);
      return 0;
    }
    case WM_SETCURSOR:
      // An apply waits with the window responsive; the hourglass stays over it meanwhile.
      if (busyCursor_ && LOWORD(lParam) == HTCLIENT) {
        ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
        return TRUE;
      }
      break;
    case WM_SYSCOLORCHANGE:
      ::SendMessageW(Control(ControlId::StatusBar), message, wParam, lParam);
      break;
    case kTrayMessage:
      OnTrayNotification(static_cast<UINT>(lParam));
      return 0;
    case kDpiChangedMessage:
      OnDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
      return 0;
    case kAfterFirstPaint:
      // Tips show only when the mouse rests on a button, long after this.
      if (!tooltip_) CreateTooltips();
      AddTrayIcon();
      return 0;
    case WM_CLOSE:
      Close();
      return 0;
    case WM_DESTROY:
      trayIcon_.Remove();
      FormDestroy();
      return 0;
    case WM_NCDESTROY: {
      const HWND window = window_;  // OnNcDestroy forgets it; the system's cleanup needs it
      OnNcDestroy();
      return ::DefWindowProcW(window, message, wParam, lParam);
    }
    default:
      if (message == TaskbarCreatedMessage()) trayIcon_.Restore();
      break;
  }
  return ::DefWindowProcW(window_, message, wParam, lParam);
}

HWND TfrmMain::PromptOwner() const {
  return window_ && ::IsWindowVisible(window_) ? window_ : nullptr;
}

void TfrmMain::ReportError(std::string_view text) noexcept {
  try {
    prompts_->Show(PromptOwner(), text, "Tavi", MB_OK | MB_ICONERROR);
  } catch (...) {
    // Nothing more can be reported; the program goes on.
  }
}

void TfrmMain::OnCreate() {
  dpi_ = WindowDpi(window_);
  trayIcon_.Attach(window_, kTrayMessage, options_.notifyIcon);
  // The shell runs without elevation; the program does not.
  AllowMessageFromShell(window_, TaskbarCreatedMessage());
  AllowMessageFromShell(window_, kTrayMessage);
  SetDialogNavigation(window_, true);
  CreateFonts();
  CreateControls();
  CreateStatusPanels();
  LoadIcons();
  FitClientArea();
  FormCreate();
}

void TfrmMain::OnActivate(WPARAM wParam) {
  if (LOWORD(wParam) == WA_INACTIVE) {
    // Remember the focused control, to give the focus back on the next activation.
    const HWND focus = ::GetFocus();
    if (focus && ::IsChild(window_, focus)) lastFocus_ = focus;
    return;
  }
  if (!HIWORD(wParam)) {  // not minimised
    HWND target = lastFocus_;
    if (!target || !::IsChild(window_, target) || !::IsWindowEnabled(target) ||
        !::IsWindowVisible(target)) {
      target = ::GetNextDlgTabItem(window_, nullptr, FALSE);
    }
    const ScopedFlag restoring(restoringFocus_);
    ::SetFocus(target ? target : window_);
  }
  FormActivate();
}

void TfrmMain::OnCommand(ControlId id, UINT code) {
  for (const CommandBinding& binding : kBindings) {
    if (binding.id == id && binding.code == code) {
      (this->*binding.handler)();
      return;
    }
  }
  if (IsRadioButton(id)) OnRadioNotification(id, code);
  OnFocusNotification(id, code);
}

void TfrmMain::OnRadioNotification(ControlId id, UINT code) {
  // A click selects. So does the focus arriving by keyboard (the arrow keys of a radio
  // group), but not the focus that a mouse press brings before its click, nor the focus
  // given back on activation.
  if (code == BN_CLICKED || (code == BN_SETFOCUS && !MouseButtonDown() && !restoringFocus_)) {
    SetChecked(id);
  }
}

void TfrmMain::OnNcDestroy() {
  SetDialogNavigation(window_, false);
  ::SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
  window_ = nullptr;
  tooltip_ = nullptr;
  lastFocus_ = nullptr;
  controls_.clear();
  font_.reset();
  boldFont_.reset();
  bigIcon_.reset();
  smallIcon_.reset();
}

// ---- Start-up and shutdown ---------------------------------------------------------------

void TfrmMain::FormCreate() {
  Profiles.clear();
  auto ini = std::make_unique<PrivateProfileStore>(
      options_.iniPath.empty() ? IniPathForExecutable(ExecutablePath()) : options_.iniPath);
  if (!ini->WaitUntilReadable(std::chrono::seconds(1))) unreadableIni_ = ini->Path();
  IniFile = std::move(ini);
  Profiles = LoadProfiles(*IniFile);
  ShowLocalAddresses();
  FillAdapterList();
  UpdateFiles.clear();
}

void TfrmMain::Show(int showCommand) {
  ::ShowWindow(window_, showCommand);
  ::UpdateWindow(window_);
  if (!activated_) FormActivate();
  if (window_ && !tooltip_) ::PostMessageW(window_, kAfterFirstPaint, 0, 0);
}

void TfrmMain::FormActivate() {
  if (activated_) return;
  activated_ = true;
  RunFirstActivation();
}

void TfrmMain::RunFirstActivation() {
  {
    const ScopedFlag running(inFirstActivation_);
    const HWND list = Control(ControlId::listboxPlace);
    // The list is on screen by now: without this, every entry would redraw its scroll bar,
    // seconds for a file of thousands of places.
    ::SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    for (const TNetworkInfo& profile : Profiles) {
      ::SendMessageW(list, LB_ADDSTRING, 0,
                     reinterpret_cast<LPARAM>(Utf8ToWide(profile.Place).c_str()));
    }
    ::SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(list, nullptr, TRUE);
    ::SendMessageW(list, LB_SETCURSEL, 0, 0);
    listboxPlaceClick();
    // An empty list must not pass for a file without places; "/s" asks for no boxes.
    if (!unreadableIni_.empty() && std::ranges::none_of(Arguments(), IsQuietSwitch)) {
      ShowMessage(UnreadableFileText(unreadableIni_), kTaviCaption, MB_OK | MB_ICONEXCLAMATION);
    }
    ProcessCommandLine();
  }
  if (closeRequested_) ExecuteClose();
}

void TfrmMain::Close() {
  closeRequested_ = true;
  if (!inFirstActivation_ && !applying_) ExecuteClose();
}

void TfrmMain::ExecuteClose() {
  if (!window_) return;
  // Gone at once: the process may take a while yet to end (its window is destroyed after the
  // message loop), and the shell keeps an icon whose window has gone.
  trayIcon_.Remove();
  if (!options_.quitOnClose) {
    ::DestroyWindow(window_);
  } else if (!quitPosted_) {
    quitPosted_ = true;
    ::PostQuitMessage(ExitCode());
  }
}

void TfrmMain::FormDestroy() {
  UpdateFiles.clear();
  UpdateFiles.shrink_to_fit();
  IniFile.reset();
  Profiles.clear();
  Profiles.shrink_to_fit();
}

void TfrmMain::btnCloseClick() {
  Close();
}

}  // namespace tavi
