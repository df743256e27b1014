// Applying a profile: the apply button, the double-click on a place and the command line.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <string>

#include "app/command_line.h"
#include "app/main_window_win32.h"
#include "app/scoped_flag.h"
#include "netcfg/apply_profile.h"
#include "netcfg/console_command.h"
#include "netcfg/console_runner_win32.h"
#include "netcfg/netsh_runner_win32.h"
#include "netcfg/registry_values_win32.h"
#include "netcfg/tcpip_registry_win32.h"
#include "profiles/profile_list.h"
#include "win/message_loop_win32.h"
#include "win/text_win32.h"

namespace tavi {
namespace {

// The hourglass and "설정 변경 중..." for as long as an apply changes settings and waits for
// them. An apply that ends with an error gives back the cursor and the progress text it found.
class BusyState {
 public:
  BusyState(TfrmMain& window, bool& busyCursor)
      : window_(window),
        busyCursor_(busyCursor),
        progressBefore_(window.StatusText(kProgressPanel)) {
    busyCursor_ = true;
    cursorBefore_ = ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
    window_.SetStatusText(kProgressPanel, kApplyingText);
  }
  ~BusyState() {
    if (finished_) return;
    Restore();
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
    Restore();
  }

 private:
  void Restore() {
    busyCursor_ = false;
    ::SetCursor(cursorBefore_);
  }

  TfrmMain& window_;
  bool& busyCursor_;
  std::string progressBefore_;
  HCURSOR cursorBefore_ = nullptr;
  bool finished_ = false;
};

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
  ApplyNetWork();
}

ApplyOutcome TfrmMain::ApplyNetWork() {
  if (applying_) return ApplyOutcome::Refused;
  ApplyOutcome outcome = ApplyOutcome::Refused;
  {
    const ScopedFlag applying(applying_);
    Guard([&] { outcome = RunApply(); });
  }
  if (closeRequested_ && !inFirstActivation_) ExecuteClose();
  return outcome;
}

ApplyOutcome TfrmMain::RunApply() {
  const ApplyValues values = ReadApplyValues();
  switch (CheckApplyValues(values)) {
    case ApplyRefusal::NoConnection:
      ShowMessage(kSelectConnectionText, "Tavi", MB_OK | MB_ICONEXCLAMATION);
      ::SendMessageW(Control(ControlId::cmbNIC), CB_SHOWDROPDOWN, TRUE, 0);
      return ApplyOutcome::Refused;
    case ApplyRefusal::UnsafeText:
      ShowMessage(kUnsafeTextText, "Tavi", MB_OK | MB_ICONEXCLAMATION);
      return ApplyOutcome::Refused;
    case ApplyRefusal::NoAddress:
      ShowMessage(kNeedAddressText, "Tavi", MB_OK | MB_ICONEXCLAMATION);
      return ApplyOutcome::Refused;
    case ApplyRefusal::None:
      break;
  }

  BusyState busy(*this, busyCursor_);
  std::string systemRoot;
  ReadRegString(HKEY_LOCAL_MACHINE, kSystemRootValuePath, systemRoot);
  std::string netshOutput;
  const std::string problem = UsesRegistryPath(systemRoot)
                                  ? ApplyThroughRegistry(values)
                                  : ApplyThroughScript(values, netshOutput);
  // Commands that did not run are a failure whatever the connection shows; it is read once
  // then, so the box can say what it has.
  const LiveConnection found =
      problem.empty() ? WaitForConnection(values) : options_.readConnection(values.NIC);
  const ReadBack readBack = CompareWithAsked(values, found);
  const bool applied = problem.empty() && readBack.matches;
  busy.Finish();
  RememberApply(values.Place, applied);
  ShowLocalAddresses();
  SetStatusText(kProgressPanel, applied ? kAppliedText : kApplyFailedText);
  if (!Quiet) {
    // Both outcomes keep the completion box's caption and icon; the text tells them apart.
    ShowMessage(applied ? ApplySuccessText(values.Place)
                        : ApplyFailureText(values.NIC, found.status, readBack, problem,
                                           NetshMessageLines(netshOutput)),
                kApplyDoneCaption, MB_OK | MB_ICONINFORMATION);
  }
  return applied ? ApplyOutcome::Applied : ApplyOutcome::Failed;
}

std::string TfrmMain::ApplyThroughScript(const ApplyValues& values, std::string& netshOutput) {
  NetshRun run = RunNetshScript(BuildNetshScript(values), NetshScriptPath(GetTempDirectory()));
  netshOutput = std::move(run.output);
  if (!run.started) return kNetshNotStartedText;
  return run.ended ? "" : kNetshNotEndedText;
}

std::string TfrmMain::ApplyThroughRegistry(const ApplyValues& values) {
  std::string status;
  RunAndWait("net stop dhcp", status, true);
  const bool written = WriteTcpipSettings(values.IP, values.SubNetMask, values.GateWay,
                                          values.FirstDNS, values.SecondDNS, values.UseDhcp);
  RunAndWait("net start dhcp", status, true);
  if (!written) return kRegistryNotWrittenText;
  return status == kRunStatusOk ? "" : kDhcpNotStartedText;
}

// Reads the connection until it shows what was asked or the settle time is over, the status
// bar counting down meanwhile. The window stays responsive; a quit ends the wait early.
LiveConnection TfrmMain::WaitForConnection(const ApplyValues& values) {
  using Clock = std::chrono::steady_clock;
  const SettleTimes& times = options_.settle;
  const Clock::time_point deadline =
      Clock::now() + (values.UseDhcp ? times.dhcp : times.staticValues);
  for (;;) {
    LiveConnection found = options_.readConnection(values.NIC);
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    if (left.count() <= 0 || CompareWithAsked(values, found).matches) return found;
    SetStatusText(kProgressPanel, SettleStatusText(values.UseDhcp, left));
    if (!DispatchMessagesFor(static_cast<DWORD>(std::min(left, times.poll).count()))) return found;
  }
}

void TfrmMain::listboxPlaceDblClick() {
  const bool closeAfterwards = ::GetKeyState(VK_SHIFT) < 0;
  if (::GetKeyState(VK_CONTROL) < 0) Quiet = true;
  ApplyNetWork();
  if (closeAfterwards) Close();
}

ApplyOutcome TfrmMain::ApplyPlaceAt(int index) {
  AddTrayIcon();  // so that its tooltip tells how a command line's apply went
  ::SendMessageW(Control(ControlId::listboxPlace), LB_SETCURSEL, static_cast<WPARAM>(index), 0);
  listboxPlaceClick();
  ProcessMessages();  // the place's values on screen before the apply starts
  return ApplyNetWork();
}

void TfrmMain::ProcessCommandLine() {
  const std::vector<std::string> places = PlaceNames(Profiles);
  for (const std::string& argument : Arguments()) {
    // Names as Save compares them: the profile file takes case twins for one section.
    const ArgumentAction action = ClassifyArgument(argument, places, SameIgnoringCase);
    switch (action.kind) {
      case ArgumentAction::Kind::SetQuiet:
        Quiet = true;
        break;
      case ArgumentAction::Kind::NotFound:
        // A name that finds nothing is quiet after /s; an unknown index always says so.
        if (!action.byName || !Quiet) {
          ShowMessage(PlaceNotFoundText(argument, action.byName), "Tavi",
                      MB_OK | MB_ICONINFORMATION);
        }
        exitCode_.RecordPlaceNotFound();
        break;
      case ArgumentAction::Kind::Apply:
        // The run ends as asked whatever the apply did; its outcome is the exit code's.
        exitCode_.Record(ApplyPlaceAt(action.index));
        Close();
        break;
      case ArgumentAction::Kind::Ignore:
        break;
    }
  }
}

}  // namespace tavi
