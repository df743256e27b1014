// Driving another process's windows as a user would: a program started with a command line,
// its top-level windows and the message boxes it shows. Texts are read with WM_GETTEXT, which
// the system carries between processes; buttons are pressed with posted messages.
#pragma once

#include <windows.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "win/handle.h"

namespace tavi::test {

// A program started by a test; ended (by its handle) if it still runs when this goes.
class ChildProcess {
 public:
  // commandLine is the whole line, program path (quoted as needed) first. The child inherits
  // this process's environment, so a test sets the variables it needs before the start.
  explicit ChildProcess(const std::string& commandLine);
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  DWORD Id() const { return id_; }
  // The exit code once the process has ended within the deadline.
  std::optional<DWORD> WaitForExit(std::chrono::milliseconds deadline = std::chrono::seconds(20));

 private:
  Handle process_;
  DWORD id_ = 0;
};

// A visible top-level window of the process with that window class; null at the deadline.
HWND WaitForProcessWindow(DWORD processId, const wchar_t* className,
                          std::chrono::milliseconds deadline = std::chrono::seconds(20));

struct MessageBoxView {
  HWND window = nullptr;
  std::string caption;
  std::string text;
};

// The message box (dialog class #32770) that the process shows now.
std::optional<MessageBoxView> FindMessageBox(DWORD processId);
std::optional<MessageBoxView> WaitForMessageBox(
    DWORD processId, std::chrono::milliseconds deadline = std::chrono::seconds(20));

// Presses the box's button with that id (IDOK, IDYES, ...).
void PressButton(HWND box, int id);

// A window's text, also of another process's window or control.
std::string WindowText(HWND window);

// The texts of a list box's items, also of another process's list box.
std::vector<std::string> Items(HWND list);

}  // namespace tavi::test
