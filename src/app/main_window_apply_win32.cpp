// Applying a profile: the apply button, the double-click on a place and the command line.
#include <windows.h>

#include <stdexcept>
#include <string>

#include "app/command_line.h"
#include "app/main_window_win32.h"
#include "netcfg/apply_profile.h"
#include "netcfg/console_command.h"
#include "netcfg/console_runner_win32.h"
#include "netcfg/registry_values_win32.h"
#include "netcfg/tcpip_registry_win32.h"
#include "win/files_win32.h"
#include "win/message_loop_win32.h"
#include "win/text_win32.h"

namespace tavi {
namespace {

// The hourglass and "설정 변경 중..." for as long as an apply blocks the window. An apply that
// ends with an error gives back the cursor and the progress text it found.
class BusyState {
 public:
  explicit BusyState(TfrmMain& window)
      : window_(window), progressBefore_(window.StatusText(kProgressPanel)) {
    cursorBefore_ = ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
    window_.SetStatusText(kProgressPanel, kApplyingText);
  }
  ~BusyState() {
    if (finished_) return;
    ::SetCursor(cursorBefore_);
    try {
      window_.SetStatusText(kProgressPanel, progressBefore_);
    } catch (...) {
      // The error that ends the apply is reported; this one would only hide it.
    }
  }
  BusyState(const BusyState&) = delete;
  BusyState& operator=(const BusyState&) = delete;

  // The work is done: the cursor comes back now, the progress text is the caller's.
  void Finish() {
    finished_ = true;
    ::SetCursor(cursorBefore_);
  }

 private:
  TfrmMain& window_;
  std::string progressBefore_;
  HCURSOR cursorBefore_ = nullptr;
  bool finished_ = false;
};

// The script goes to disk in the system's ANSI code page, as netsh reads it. A script that
// cannot be written whole is an error, and no part of it is left behind.
void WriteScriptFile(const std::string& path, const std::string& text) {
  if (!WriteWholeFile(path, Utf8ToCodePage(text, CP_ACP))) {
    throw std::runtime_error("Unable to write to " + path);
  }
}

}  // namespace

ApplyValues TfrmMain::ReadApplyValues() const {
  ApplyValues values;
  values.NIC = Text(ControlId::cmbNIC);
  values.UseDhcp = IsChecked(ControlId::rdoDHCP);
  values.StaticChosen = IsChecked(ControlId::rdoIP);
  values.IP = Text(ControlId::edtIP);
  values.SubNetMask = Text(ControlId::edtSubNetMask);
  values.GateWay = Text(ControlId::edtGateWay);
  values.AutoDns = IsChecked(ControlId::rdoAutoDNS);
  values.FirstDNS = Text(ControlId::edt1stDNS);
  values.SecondDNS = Text(ControlId::edt2ndDNS);
  values.Place = Text(ControlId::edtPlace);
  return values;
}

void TfrmMain::btnApplyNetWorkClick() {
  const ApplyValues values = ReadApplyValues();
  switch (CheckApplyValues(values)) {
    case ApplyRefusal::NoConnection:
      ShowMessage(kSelectConnectionText, "Tavi", MB_OK | MB_ICONEXCLAMATION);
      ::SendMessageW(Control(ControlId::cmbNIC), CB_SHOWDROPDOWN, TRUE, 0);
      return;
    case ApplyRefusal::UnsafeText:
      ShowMessage(kUnsafeTextText, "Tavi", MB_OK | MB_ICONEXCLAMATION);
      return;
    case ApplyRefusal::NoAddress:
      ShowMessage(kNeedAddressText, "Tavi", MB_OK | MB_ICONEXCLAMATION);
      return;
    case ApplyRefusal::None:
      break;
  }

  BusyState busy(*this);
  std::string systemRoot;
  ReadRegString(HKEY_LOCAL_MACHINE, kSystemRootValuePath, systemRoot);
  const bool changed =
      UsesRegistryPath(systemRoot) ? ApplyThroughRegistry(values) : ApplyThroughScript(values);
  busy.Finish();
  ShowLocalAddresses();
  SetStatusText(kProgressPanel, kAppliedText);
  if (!Quiet) {
    ShowMessage(ApplyResultText(changed, values.Place), kApplyDoneCaption,
                MB_OK | MB_ICONINFORMATION);
  }
}

bool TfrmMain::ApplyThroughScript(const ApplyValues& values) {
  const std::string path = NetshScriptPath(GetTempDirectory());
  WriteScriptFile(path, NetshScriptText(BuildNetshScript(values)));
  // Whether netsh liked every line cannot be told (its exit code says nothing for scripts);
  // a command that did not even start is a failure all the same.
  std::string status;
  RunAndWait(NetshCommand(path), status, true);
  ::DeleteFileW(Utf8ToWide(path).c_str());
  return status == kRunStatusOk;
}

bool TfrmMain::ApplyThroughRegistry(const ApplyValues& values) {
  std::string status;
  RunAndWait("net stop dhcp", status, true);
  const bool written = WriteTcpipSettings(values.IP, values.SubNetMask, values.GateWay,
                                          values.FirstDNS, values.SecondDNS, values.UseDhcp);
  RunAndWait("net start dhcp", status, true);
  return written && status == kRunStatusOk;
}

void TfrmMain::listboxPlaceDblClick() {
  const bool closeAfterwards = ::GetKeyState(VK_SHIFT) < 0;
  if (::GetKeyState(VK_CONTROL) < 0) Quiet = true;
  Guard([this] { btnApplyNetWorkClick(); });
  if (closeAfterwards) Close();
}

void TfrmMain::ProcessCommandLine() {
  const HWND list = Control(ControlId::listboxPlace);
  for (const std::string& argument : Arguments()) {
    const auto count = static_cast<int>(::SendMessageW(list, LB_GETCOUNT, 0, 0));
    const ArgumentAction action = ClassifyArgument(argument, count);
    switch (action.kind) {
      case ArgumentAction::Kind::SetQuiet:
        Quiet = true;
        break;
      case ArgumentAction::Kind::NotFound:
        ShowMessage(PlaceNotFoundText(argument), "Tavi", MB_OK | MB_ICONINFORMATION);
        break;
      case ArgumentAction::Kind::Apply:
        ::SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(action.index), 0);
        listboxPlaceClick();
        ProcessMessages();  // the place's values on screen before the window blocks
        // An apply that fails with an error is reported; the run still ends as asked.
        Guard([this] { btnApplyNetWorkClick(); });
        Close();
        break;
      case ArgumentAction::Kind::Ignore:
        break;
    }
  }
}

}  // namespace tavi
