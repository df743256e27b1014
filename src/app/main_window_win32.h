// The main window: the list of places on the left, the editing frame on the right, the
// status bar at the bottom. Its controls come from the layout table (main_layout.h); each
// message and notification goes to a member handler named after the control and the event.
#pragma once

#include <windows.h>

#include <cstdint>
#include <exception>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/command_line.h"
#include "app/control_states.h"
#include "app/main_layout.h"
#include "app/progress_dialog_win32.h"
#include "app/tray_icon_win32.h"
#include "app/tray_menu.h"
#include "netcfg/adapter_discovery_win32.h"
#include "netcfg/apply_profile.h"
#include "netcfg/read_back.h"
#include "profiles/ini_store.h"
#include "profiles/network_info.h"
#include "update/updater_win32.h"
#include "win/handle.h"
#include "win/user_prompts_win32.h"

namespace tavi {

struct TfrmMainOptions {
  // The profile file; empty: the INI file beside the executable.
  std::string iniPath;
  // The command-line arguments, without the program's name.
  std::vector<std::string> arguments;
  // True for the program's window: closing it ends the message loop, and the window is
  // destroyed with the object afterwards. False (tests): closing destroys the window at once.
  bool quitOnClose = false;
  // Every message box goes through this; not owned. Null: the system's message boxes.
  UserPrompts* prompts = nullptr;
  // What the updater takes from the process: the program folder (from its executable path),
  // the shell start of a program and the end of the process. Its command line is the one
  // above, its message boxes are the prompts' and it closes the program by closing this
  // window. Empty members: the running process's.
  TRavoUpdaterEnvironment updater;
  // Where the updater asks for updates; empty: the build's update server.
  std::string updateUrl;
  // How an apply reads the connection back; empty: the system's (ReadConnection).
  ConnectionReader readConnection;
  // How long an apply waits for the connection to show what it asked for.
  SettleTimes settle;
  // How the icon reaches the notification area; empty: the shell's (Shell_NotifyIconW).
  NotifyIconFunction notifyIcon;

  // The running program's: its own INI file and command line, quitting on close.
  static TfrmMainOptions ForProcess();
};

class TfrmMain {
 public:
  // Creates the window, hidden, with all its controls, and runs FormCreate.
  explicit TfrmMain(TfrmMainOptions options);
  // Destroys the window if it is still there (FormDestroy runs then).
  ~TfrmMain();
  TfrmMain(const TfrmMain&) = delete;
  TfrmMain& operator=(const TfrmMain&) = delete;

  HWND Handle() const { return window_; }
  HWND Control(ControlId id) const;  // null when the window is gone
  int Dpi() const { return dpi_; }
  const std::vector<std::string>& Arguments() const { return options_.arguments; }

  // Shows the window, centred, and runs the first activation even when the system does not
  // activate the window (a start minimised or in the background). The tooltips follow once
  // the window's messages are processed.
  void Show(int showCommand);
  // Asks the window to close. During the first activation, and while an apply runs, the close
  // waits until it ends.
  void Close();
  // What the program's process ends with (RunExitCode): how the command line's places went.
  int ExitCode() const { return exitCode_.Code(); }

  // The apply, as the button, a double-click and the command line run it: the editing controls'
  // values go to the connection, which is read back until it shows them or the settle time is
  // over; the status bar and (unless Quiet) a box say how it went. An apply asked for while one
  // runs (its wait processes window messages) is refused at once, without a message.
  ApplyOutcome ApplyNetWork();

  // Selects a radio button as a click would: when it was not selected, its partner is
  // unselected and its click handler runs; selecting the selected button does nothing.
  void SetChecked(ControlId radio);
  bool IsChecked(ControlId radio) const;
  // Sets a text field; a change of its text (and only a change) runs edtPlaceChange.
  void SetText(ControlId field, std::string_view text);
  std::string Text(ControlId id) const;
  // The background the enabling rules gave a text field.
  FieldColor FieldBackground(ControlId field) const;
  // Sets a status-bar panel's text and repaints the status bar at once.
  void SetStatusText(int panel, std::string_view text);
  std::string StatusText(int panel) const;
  // A message box owned by the window, through the prompts of the options.
  int ShowMessage(std::string_view text, std::string_view caption, UINT flags);

  TProfileList Profiles;
  bool Adding = false;
  // No completion box after an apply; set by "/s" and by Ctrl+double-click, never cleared.
  // A member, not a global, so that every window (and every test) starts without it.
  bool Quiet = false;
  std::unique_ptr<IniStore> IniFile;
  std::vector<std::string> UpdateFiles;
  // Constructed first of all: its start-up duties run before the window is created.
  std::unique_ptr<TRavoUpdater> RavoUpdater1;

  // Start-up and shutdown.
  void FormCreate();
  void FormActivate();
  void FormDestroy();
  void ProcessCommandLine();

  // Event handlers.
  void listboxPlaceClick();
  void listboxPlaceDblClick();
  void btnAddClick();
  void btnDeleteClick();
  void btnMoveUpClick();
  void btnMoveDownClick();
  void btnUpdateClick();
  void btnHelpClick();
  void btnCloseClick();
  void btnSaveClick();
  void btnApplyNetWorkClick();
  void Label1Click();
  void rdoDHCPClick();
  void rdoAutoDNSClick();
  void edtPlaceChange();
  void RavoUpdater1Error(TObject& Sender, const std::string& ErrMsg);
  void RavoUpdater1Progress(TObject& Sender, const std::string& FileName, std::int64_t TotalSize,
                            std::int64_t BytesRead);

  // The notification-area icon (main_window_tray_win32.cpp): a left click and "열기" show the
  // window, a right click opens the menu of places; its tooltip names the place last applied.
  static constexpr UINT kTrayMessage = WM_APP + 0x10;
  const LastApply& LastApplied() const { return lastApply_; }

  // The update's progress dialog while btnUpdateClick runs an update, else null.
  const TProgressDialog* UpdateProgress() const { return ProgressDialog.get(); }

  // Exchanges list entries a and b, puts the places in the new order and writes every
  // place's position to the file (main_window_list_win32.cpp).
  void SwapProfiles(int a, int b);

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void OnCreate();
  void OnActivate(WPARAM wParam);
  void OnCommand(ControlId id, UINT code);
  void OnRadioNotification(ControlId id, UINT code);
  void OnFocusNotification(ControlId id, UINT code);
  LRESULT OnControlColor(UINT message, HDC dc, HWND control);
  void OnNcDestroy();
  void OnDpiChanged(int dpi, const RECT& suggested);
  // The owner of a box that may come while the window is hidden: the window once it shows.
  HWND PromptOwner() const;
  void ReportError(std::string_view text) noexcept;
  // Runs the action; an exception that escapes it is reported in a box. False then.
  template <typename Action>
  bool Guard(Action&& action) noexcept {
    try {
      action();
      return true;
    } catch (const std::exception& error) {
      ReportError(error.what());
    } catch (...) {
      ReportError("Unexpected error");
    }
    return false;
  }

  // Creation (main_window_controls_win32.cpp).
  void CreateFonts();
  void CreateControls();
  HWND CreateControl(const ControlSpec& entry);
  WPARAM FontFor(const ControlSpec& entry) const;
  // What depends on the resolution besides the controls' rectangles and font: the labels'
  // widths, the lists' item heights, the drop-down list's height, the panels' edges.
  void FitControlsToDpi();
  void CreateStatusPanels();
  void CreateTooltips();
  void LoadIcons();
  void FitClientArea();
  // The window's outer size around the layout's client area.
  SIZE FrameSize() const;
  ControlId IdOf(HWND control) const;

  // Editing controls as data (main_window_controls_win32.cpp).
  EditingState ReadEditingState() const;
  void ApplyEditingState(const EditingState& state);
  void SetRadio(ControlId radio, bool selected);

  // The machine's addresses into the status bar, each followed by CR LF (at start-up and
  // after every apply).
  void ShowLocalAddresses();
  // The connections that discovery finds, appended to cmbNIC (once, at start-up).
  void FillAdapterList();

  // Applying a profile (main_window_apply_win32.cpp). The two ways of changing the settings
  // give back what kept their commands from running; empty when they ran.
  ApplyValues ReadApplyValues() const;
  ApplyOutcome RunApply();
  // The place at that position shown as a click shows it, then applied: what a double-click
  // on it does, for the command line and the notification-area menu.
  ApplyOutcome ApplyPlaceAt(int index);
  std::string ApplyThroughScript(const ApplyValues& values, std::string& netshOutput);
  std::string ApplyThroughRegistry(const ApplyValues& values);
  LiveConnection WaitForConnection(const ApplyValues& values);

  // The update (main_window_update_win32.cpp).
  void CreateUpdater();
  void ShowUpdateProgress(std::string_view text, std::string_view fileName, std::int64_t totalSize,
                          std::int64_t bytesRead);

  // The notification area (main_window_tray_win32.cpp). The icon comes once the window has
  // painted (the shell's library then loads while the user looks at the window), or before
  // the command line's first apply, and once only: not after the close.
  void AddTrayIcon();
  void ShowTrayIcon();
  void OnTrayNotification(UINT mouseMessage);
  void ShowTrayMenu();
  void ShowFromTray();
  void RememberApply(const std::string& place, bool applied);

  void RunFirstActivation();
  void ExecuteClose();

  TfrmMainOptions options_;
  // Started as the window's construction begins, so that ipconfig runs while the controls are
  // made; FillAdapterList takes its result.
  AdapterDiscovery adapterDiscovery_;
  MessageBoxPrompts systemPrompts_;
  UserPrompts* prompts_;
  HWND window_ = nullptr;
  int dpi_ = 96;
  std::map<ControlId, HWND> controls_;
  std::map<ControlId, FieldColor> fieldColors_;
  Font font_;
  Font boldFont_;
  Icon bigIcon_;
  Icon smallIcon_;
  HWND tooltip_ = nullptr;  // owned by the window, destroyed with it
  HWND lastFocus_ = nullptr;
  HKL layoutBeforeField_ = nullptr;
  bool activated_ = false;
  bool inFirstActivation_ = false;
  // The profile file when it was there but could not be read at start; empty otherwise.
  std::string unreadableIni_;
  bool closeRequested_ = false;
  bool quitPosted_ = false;
  bool restoringFocus_ = false;
  std::unique_ptr<TProgressDialog> ProgressDialog;
  bool updating_ = false;
  bool applying_ = false;
  bool busyCursor_ = false;  // the hourglass over the window while an apply changes settings
  RunExitCode exitCode_;
  TrayIcon trayIcon_;
  LastApply lastApply_;
};

}  // namespace tavi
