// The main window's event handlers.
#include "app/main_window_win32.h"

#include <shellapi.h>

#include "app/app_info.h"
#include "app/input_language.h"
#include "app/input_method_win32.h"
#include "netcfg/local_addresses.h"
#include "netcfg/local_addresses_win32.h"
#include "win/text_win32.h"

namespace tavi {

// ---- Enabling rules ----------------------------------------------------------------------

void TfrmMain::rdoDHCPClick() {
  ApplyEditingState(AddressModeRule(ReadEditingState()));
}

void TfrmMain::rdoAutoDNSClick() {
  ApplyEditingState(DnsModeRule(ReadEditingState()));
}

void TfrmMain::edtPlaceChange() {
  ApplyEditingState(EditInProgressRule(ReadEditingState()));
}

// ---- Applying and updating ---------------------------------------------------------------

void TfrmMain::ShowLocalAddresses() {
  SetStatusText(kAddressPanel, LocalAddressText(GetLocalAddresses()));
}

void TfrmMain::FillAdapterList() {
  const HWND nic = Control(ControlId::cmbNIC);
  for (const std::string& name : adapterDiscovery_.Finish()) {
    ::SendMessageW(nic, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Utf8ToWide(name).c_str()));
  }
}

// ---- Help and the web address ------------------------------------------------------------

void TfrmMain::btnHelpClick() {
  ShowMessage(HelpText(), kHelpCaption, MB_OK | MB_USERICON);
}

void TfrmMain::Label1Click() {
  ::ShellExecuteW(nullptr, L"open", Utf8ToWide(kWebAddress).c_str(), L"", L"", SW_SHOWMAXIMIZED);
}

// ---- Input methods -----------------------------------------------------------------------

void TfrmMain::OnFocusNotification(ControlId id, UINT code) {
  bool entered = false;
  bool left = false;
  switch (id) {
    case ControlId::listboxPlace:
      entered = code == LBN_SETFOCUS;
      left = code == LBN_KILLFOCUS;
      break;
    case ControlId::cmbNIC:
      entered = code == CBN_SETFOCUS;
      left = code == CBN_KILLFOCUS;
      break;
    case ControlId::edtPlace:
    case ControlId::edtIP:
    case ControlId::edtSubNetMask:
    case ControlId::edtGateWay:
    case ControlId::edt1stDNS:
    case ControlId::edt2ndDNS:
      entered = code == EN_SETFOCUS;
      left = code == EN_KILLFOCUS;
      break;
    default:
      return;
  }
  if (entered) {
    const HKL before =
        SwitchToInputMethod(id == ControlId::cmbNIC ? kConnectionInputMethod : kFieldInputMethod);
    if (before && !layoutBeforeField_) layoutBeforeField_ = before;
    if (id == ControlId::edtPlace) SetHangulMode(Control(id));
  } else if (left && layoutBeforeField_) {
    // Leaving the field gives the user's own layout back.
    ::ActivateKeyboardLayout(layoutBeforeField_, 0);
    layoutBeforeField_ = nullptr;
  }
}

}  // namespace tavi
