// The main window's controls: created from the layout table, and read and written as data.
#include "app/main_window_win32.h"

#include <commctrl.h>

#include <algorithm>
#include <span>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "app/custom_controls_win32.h"
#include "app/newer_windows_win32.h"
#include "app/resource.h"
#include "win/text_win32.h"

namespace tavi {
namespace {

constexpr COLORREF kNavy = RGB(0, 0, 128);

constexpr ControlId kAddressFields[] = {ControlId::edtIP,         ControlId::edtSubNetMask,
                                        ControlId::edtGateWay,    ControlId::lblIP,
                                        ControlId::lblSubNetMask, ControlId::lblGateWay};
constexpr ControlId kDnsFields[] = {ControlId::edt1stDNS, ControlId::edt2ndDNS,
                                    ControlId::lbl1stDNS, ControlId::lbl2ndDNS};

int SystemColorOf(FieldColor color) {
  return color == FieldColor::Window ? COLOR_WINDOW : COLOR_BTNFACE;
}

// The width of a control's text in its font, on one line, measured in a memory device context
// (one for all the labels: a window's own context costs more to get, under Wine especially).
int SingleLineTextWidth(HDC dc, HWND control) {
  const std::wstring text = Utf8ToWide(GetWindowTextUtf8(control));
  const HGDIOBJ old =
      ::SelectObject(dc, reinterpret_cast<HGDIOBJ>(::SendMessageW(control, WM_GETFONT, 0, 0)));
  RECT extent{0, 0, 0, 0};
  ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &extent,
              DT_SINGLELINE | DT_CALCRECT);
  ::SelectObject(dc, old);
  return extent.right;
}

// A drop-down list's window holds its open list too.
int ExtraHeight(const ControlSpec& entry, int dpi) {
  return entry.kind == ControlKind::DropDownList ? ScaleFrom96(kDropDownHeight96, dpi) : 0;
}

Font CreateFormFont(int dpi, int weight) {
  return Font(::CreateFontW(-ScaleFrom96(kFontHeight96, dpi), 0, 0, 0, weight, FALSE, FALSE, FALSE,
                            HANGUL_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                            DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                            Utf8ToWide(kFontFace).c_str()));
}

// The window class and styles of a kind of control.
struct ControlClass {
  const wchar_t* name;
  DWORD style;
  DWORD extendedStyle;
};

ControlClass ClassOf(const ControlSpec& entry) {
  switch (entry.kind) {
    case ControlKind::Label: {
      DWORD style = 0;
      if (entry.flags & kWordWrap) style |= kLabelWordWrap;
      if (entry.flags & kWebLink) style |= kLabelLink;
      return {kLabelClass, style, 0};
    }
    case ControlKind::ListBox:
      return {L"LISTBOX", WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
              WS_EX_CLIENTEDGE};
    case ControlKind::Panel:
      return {kContainerClass, WS_CLIPCHILDREN, WS_EX_CONTROLPARENT};
    case ControlKind::GroupBox:
      return {kContainerClass, WS_CLIPCHILDREN | kContainerGroupBox, WS_EX_CONTROLPARENT};
    case ControlKind::Status:
      return {STATUSCLASSNAMEW, CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER, 0};
    case ControlKind::PushButton:
      return {kXpButtonClass, WS_TABSTOP | BS_OWNERDRAW, 0};
    case ControlKind::RadioButton:
      return {L"BUTTON", BS_RADIOBUTTON | BS_NOTIFY, 0};
    case ControlKind::Edit:
      return {L"EDIT", WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE};
    case ControlKind::DropDownList:
      return {L"COMBOBOX", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 0};
  }
  return {L"STATIC", 0, 0};
}

}  // namespace

// ---- Creation ----------------------------------------------------------------------------

void TfrmMain::CreateFonts() {
  font_ = CreateFormFont(dpi_, FW_NORMAL);
  boldFont_ = CreateFormFont(dpi_, FW_BOLD);
}

void TfrmMain::CreateControls() {
  std::map<ControlId, ControlKind> previousKind;  // per parent
  for (ControlId id : CreationOrder()) {
    const ControlSpec& entry = *FindControl(id);
    // A radio button that follows another one continues its group; everything else starts
    // a group, so the arrow keys move only between the two buttons of a pair.
    const auto previous = previousKind.find(entry.parent);
    const bool continuesGroup = entry.kind == ControlKind::RadioButton &&
                                previous != previousKind.end() &&
                                previous->second == ControlKind::RadioButton;
    previousKind[entry.parent] = entry.kind;
    const HWND control = CreateControl(entry);
    if (!control) throw std::runtime_error(std::string("Cannot create ") + entry.name);
    if (continuesGroup) {
      ::SetWindowLongW(control, GWL_STYLE, ::GetWindowLongW(control, GWL_STYLE) & ~WS_GROUP);
    }
    controls_[id] = control;
  }
  ::SendMessageW(Control(ControlId::Label1), kLabelSetTextColor, kNavy, 0);
  FitControlsToDpi();
  for (ControlId id : {ControlId::edtPlace, ControlId::edtIP, ControlId::edtSubNetMask,
                       ControlId::edtGateWay, ControlId::edt1stDNS, ControlId::edt2ndDNS}) {
    fieldColors_[id] = FieldColor::Window;
  }
}

void TfrmMain::FitControlsToDpi() {
  // The labels' widths are their texts' in the window's font; where the system draws that
  // font wider (another face stands in for it), a label grows rather than cut its text.
  const MemoryDc measuring(::CreateCompatibleDC(nullptr));
  for (const ControlSpec& entry : MainLayout()) {
    if (!measuring || entry.kind != ControlKind::Label || (entry.flags & kWordWrap)) continue;
    const HWND label = Control(entry.id);
    const ScaledRect table = ScaleRect(entry, dpi_);
    const int width = SingleLineTextWidth(measuring.get(), label);
    if (width > table.width) {
      ::SetWindowPos(label, nullptr, 0, 0, width, table.height,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
  }

  const int itemHeight = ScaleFrom96(kListItemHeight96, dpi_);
  ::SendMessageW(Control(ControlId::listboxPlace), LB_SETITEMHEIGHT, 0, itemHeight);

  // The closed drop-down list keeps the height of the table: its selection field is sized
  // to make up the difference between the table and what the font gave it. Setting the
  // field's height as it is first makes the control take the size that goes with it (a new
  // font changes the field at once but the window only then).
  const HWND nic = Control(ControlId::cmbNIC);
  ::SendMessageW(nic, CB_SETITEMHEIGHT, 0, itemHeight);
  const auto field =
      static_cast<int>(::SendMessageW(nic, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0));
  ::SendMessageW(nic, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), field);
  RECT closed;
  ::GetWindowRect(nic, &closed);
  const int wanted = ScaleRect(*FindControl(ControlId::cmbNIC), dpi_).height;
  const int difference = wanted - (closed.bottom - closed.top);
  if (difference != 0 && field + difference > 0) {
    ::SendMessageW(nic, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), field + difference);
  }

  std::vector<int> edges = StatusPanelEdges(dpi_);
  ::SendMessageW(Control(ControlId::StatusBar), SB_SETPARTS, edges.size(),
                 reinterpret_cast<LPARAM>(edges.data()));
}

HWND TfrmMain::CreateControl(const ControlSpec& entry) {
  const ControlClass controlClass = ClassOf(entry);
  DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_GROUP | controlClass.style;
  if (entry.flags & kStartsDisabled) style |= WS_DISABLED;
  const HWND parent = entry.parent == ControlId::frmMain ? window_ : Control(entry.parent);
  const ScaledRect r = ScaleRect(entry, dpi_);
  const HWND control = ::CreateWindowExW(controlClass.extendedStyle, controlClass.name,
                                         Utf8ToWide(entry.text).c_str(), style, r.left, r.top,
                                         r.width, r.height + ExtraHeight(entry, dpi_), parent,
                                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(entry.id)),
                                         ::GetModuleHandleW(nullptr), nullptr);
  if (control) ::SendMessageW(control, WM_SETFONT, FontFor(entry), FALSE);
  return control;
}

WPARAM TfrmMain::FontFor(const ControlSpec& entry) const {
  return reinterpret_cast<WPARAM>((entry.id == ControlId::Label1 ? boldFont_ : font_).get());
}

void TfrmMain::OnDpiChanged(int dpi, const RECT& suggested) {
  if (dpi <= 0 || dpi == dpi_) return;
  dpi_ = dpi;
  // The controls hold the old fonts until they have the new ones.
  const Font oldFont = std::move(font_);
  const Font oldBoldFont = std::move(boldFont_);
  CreateFonts();
  for (const ControlSpec& entry : MainLayout()) {
    const ScaledRect r = ScaleRect(entry, dpi_);
    const HWND control = Control(entry.id);
    ::SetWindowPos(control, nullptr, r.left, r.top, r.width, r.height + ExtraHeight(entry, dpi_),
                   SWP_NOZORDER | SWP_NOACTIVATE);
    ::SendMessageW(control, WM_SETFONT, FontFor(entry), FALSE);
  }
  FitControlsToDpi();
  LoadIcons();
  ::SetWindowPos(window_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
  FitClientArea();
  ::RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void TfrmMain::CreateStatusPanels() {
  for (int i = 0; i < static_cast<int>(StatusPanels().size()); ++i) {
    SetStatusText(i, StatusPanels()[static_cast<size_t>(i)].text);
  }
}

void TfrmMain::CreateTooltips() {
  tooltip_ = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window_,
                               nullptr, ::GetModuleHandleW(nullptr), nullptr);
  if (!tooltip_) return;
  for (const TooltipSpec& tip : MainTooltips()) {
    std::wstring text = Utf8ToWide(tip.text);
    const HWND tool = Control(tip.id);
    TTTOOLINFOW info{};
    info.cbSize = TTTOOLINFOW_V2_SIZE;
    info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    info.hwnd = ::GetParent(tool);
    info.uId = reinterpret_cast<UINT_PTR>(tool);
    info.lpszText = text.data();
    ::SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
  }
}

void TfrmMain::LoadIcons() {
  const HINSTANCE instance = ::GetModuleHandleW(nullptr);
  // The picture drawn for the size the system shows at the window's resolution.
  auto load = [instance, this](int width, int height) {
    return Icon(static_cast<HICON>(::LoadImageW(
        instance, MAKEINTRESOURCEW(IDI_TAVI), IMAGE_ICON, SystemMetricForDpi(width, dpi_),
        SystemMetricForDpi(height, dpi_), LR_DEFAULTCOLOR)));
  };
  // The old icons go once nothing shows them any more.
  Icon big = load(SM_CXICON, SM_CYICON);
  Icon small = load(SM_CXSMICON, SM_CYSMICON);
  if (big) ::SendMessageW(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big.get()));
  if (small) ::SendMessageW(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small.get()));
  std::swap(bigIcon_, big);
  std::swap(smallIcon_, small);
  if (trayIcon_.Wanted()) ShowTrayIcon();
}

SIZE TfrmMain::FrameSize() const {
  // The frame as the window has it now, which may differ from what AdjustWindowRectEx says.
  RECT outer;
  RECT client;
  ::GetWindowRect(window_, &outer);
  ::GetClientRect(window_, &client);
  return {ScaleFrom96(kClientWidth96, dpi_) + (outer.right - outer.left) - client.right,
          ScaleFrom96(kClientHeight96, dpi_) + (outer.bottom - outer.top) - client.bottom};
}

void TfrmMain::FitClientArea() {
  // The frame may differ from what AdjustWindowRectEx predicted (a theme, a taller caption):
  // the client area is what the layout needs, so correct the outer size by the difference.
  RECT outer;
  ::GetWindowRect(window_, &outer);
  const SIZE frame = FrameSize();
  const int dx = frame.cx - (outer.right - outer.left);
  const int dy = frame.cy - (outer.bottom - outer.top);
  if (dx == 0 && dy == 0) return;
  // Growing about its centre, it keeps its title bar on the screen if it had it there.
  const LONG left = std::max(outer.left - dx / 2, std::min(outer.left, 0L));
  const LONG top = std::max(outer.top - dy / 2, std::min(outer.top, 0L));
  ::SetWindowPos(window_, nullptr, left, top, outer.right - outer.left + dx,
                 outer.bottom - outer.top + dy, SWP_NOZORDER | SWP_NOACTIVATE);
}

// ---- Access ------------------------------------------------------------------------------

HWND TfrmMain::Control(ControlId id) const {
  if (id == ControlId::frmMain) return window_;
  const auto found = controls_.find(id);
  return found == controls_.end() ? nullptr : found->second;
}

ControlId TfrmMain::IdOf(HWND control) const {
  const auto id = static_cast<ControlId>(::GetDlgCtrlID(control));
  return Control(id) == control ? id : ControlId::frmMain;
}

bool TfrmMain::IsChecked(ControlId radio) const {
  return ::SendMessageW(Control(radio), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void TfrmMain::SetChecked(ControlId radio) {
  const EditingState before = ReadEditingState();
  if (!IsRadioButton(radio) || IsSelected(before, radio)) return;
  ApplyEditingState(WithSelection(before, radio));
  if (radio == ControlId::rdoDHCP || radio == ControlId::rdoIP) {
    rdoDHCPClick();
  } else {
    rdoAutoDNSClick();
  }
}

void TfrmMain::SetText(ControlId field, std::string_view text) {
  // Setting the text a field already holds is no change: it fires nothing.
  if (Text(field) == text) return;
  SetWindowTextUtf8(Control(field), text);
}

std::string TfrmMain::Text(ControlId id) const {
  return GetWindowTextUtf8(Control(id));
}

FieldColor TfrmMain::FieldBackground(ControlId field) const {
  const auto found = fieldColors_.find(field);
  return found == fieldColors_.end() ? FieldColor::Window : found->second;
}

void TfrmMain::SetStatusText(int panel, std::string_view text) {
  const auto panels = StatusPanels();
  if (panel < 0 || panel >= static_cast<int>(panels.size())) return;
  const StatusPanelSpec& entry = panels[static_cast<size_t>(panel)];
  WPARAM type = static_cast<WPARAM>(panel);
  if (entry.bevel == PanelBevel::Raised) type |= SBT_POPOUT;
  if (entry.bevel == PanelBevel::None) type |= SBT_NOBORDERS;
  std::wstring wide = Utf8ToWide(text);
  if (entry.centred) wide.insert(0, 1, L'\t');  // a leading tab centres a panel's text
  const HWND status = Control(ControlId::StatusBar);
  ::SendMessageW(status, SB_SETTEXTW, type, reinterpret_cast<LPARAM>(wide.c_str()));
  ::UpdateWindow(status);
}

std::string TfrmMain::StatusText(int panel) const {
  const HWND status = Control(ControlId::StatusBar);
  const auto length = LOWORD(::SendMessageW(status, SB_GETTEXTLENGTHW, panel, 0));
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  ::SendMessageW(status, SB_GETTEXTW, panel, reinterpret_cast<LPARAM>(text.data()));
  text.resize(length);
  if (!text.empty() && text.front() == L'\t') text.erase(0, 1);
  return WideToUtf8(text);
}

int TfrmMain::ShowMessage(std::string_view text, std::string_view caption, UINT flags) {
  return prompts_->Show(window_, text, caption, flags);
}

// ---- Editing controls as data ------------------------------------------------------------

EditingState TfrmMain::ReadEditingState() const {
  EditingState state;
  state.rdoDHCP = IsChecked(ControlId::rdoDHCP);
  state.rdoIP = IsChecked(ControlId::rdoIP);
  state.rdoAutoDNS = IsChecked(ControlId::rdoAutoDNS);
  state.rdoNextDNS = IsChecked(ControlId::rdoNextDNS);
  state.addressFieldsEnabled = ::IsWindowEnabled(Control(ControlId::edtIP));
  state.addressFieldColor = FieldBackground(ControlId::edtIP);
  state.rdoAutoDNSEnabled = ::IsWindowEnabled(Control(ControlId::rdoAutoDNS));
  state.dnsFieldsEnabled = ::IsWindowEnabled(Control(ControlId::edt1stDNS));
  state.dnsFieldColor = FieldBackground(ControlId::edt1stDNS);
  state.btnSaveEnabled = ::IsWindowEnabled(Control(ControlId::btnSave));
  return state;
}

void TfrmMain::ApplyEditingState(const EditingState& state) {
  SetRadio(ControlId::rdoDHCP, state.rdoDHCP);
  SetRadio(ControlId::rdoIP, state.rdoIP);
  SetRadio(ControlId::rdoAutoDNS, state.rdoAutoDNS);
  SetRadio(ControlId::rdoNextDNS, state.rdoNextDNS);
  auto apply = [this](std::span<const ControlId> ids, bool enabled, FieldColor color) {
    for (ControlId id : ids) {
      const HWND control = Control(id);
      ::EnableWindow(control, enabled);
      const auto field = fieldColors_.find(id);
      if (field != fieldColors_.end() && field->second != color) {
        field->second = color;
        ::InvalidateRect(control, nullptr, TRUE);
      }
    }
  };
  apply(kAddressFields, state.addressFieldsEnabled, state.addressFieldColor);
  ::EnableWindow(Control(ControlId::rdoAutoDNS), state.rdoAutoDNSEnabled);
  apply(kDnsFields, state.dnsFieldsEnabled, state.dnsFieldColor);
  ::EnableWindow(Control(ControlId::btnSave), state.btnSaveEnabled);
}

void TfrmMain::SetRadio(ControlId radio, bool selected) {
  const HWND button = Control(radio);
  if (IsChecked(radio) != selected) {
    ::SendMessageW(button, BM_SETCHECK, selected ? BST_CHECKED : BST_UNCHECKED, 0);
  }
  // Within a group only the selected button is a tab stop.
  const LONG style = ::GetWindowLongW(button, GWL_STYLE);
  const LONG wanted = selected ? (style | WS_TABSTOP) : (style & ~WS_TABSTOP);
  if (wanted != style) ::SetWindowLongW(button, GWL_STYLE, wanted);
}

LRESULT TfrmMain::OnControlColor(UINT message, HDC dc, HWND control) {
  const ControlId id = IdOf(control);
  if (fieldColors_.contains(id)) {
    const int background = SystemColorOf(FieldBackground(id));
    ::SetBkColor(dc, ::GetSysColor(background));
    ::SetTextColor(dc,
                   ::GetSysColor(::IsWindowEnabled(control) ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT));
    return reinterpret_cast<LRESULT>(::GetSysColorBrush(background));
  }
  if (message == WM_CTLCOLORSTATIC || message == WM_CTLCOLORBTN) {
    // Radio buttons and the like stand on the button-face colour of their container.
    ::SetBkColor(dc, ::GetSysColor(COLOR_BTNFACE));
    ::SetTextColor(dc, ::GetSysColor(COLOR_WINDOWTEXT));
    return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE));
  }
  return ::DefWindowProcW(window_, message, reinterpret_cast<WPARAM>(dc),
                          reinterpret_cast<LPARAM>(control));
}

}  // namespace tavi
