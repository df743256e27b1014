// The program's icon in the notification area. The shell keeps an icon by window and number
// until it is removed (an icon whose program ended stays until the mouse passes over it), so
// this object removes it, at the latest when it goes, and adds it again when a restarted
// shell asks.
#pragma once

#include <windows.h>

#include <shellapi.h>

#include <functional>
#include <string>
#include <string_view>

namespace tavi {

// How the icon reaches the shell: Shell_NotifyIconW unless a test stands in for it.
using NotifyIconFunction = std::function<bool(DWORD message, NOTIFYICONDATAW& data)>;

class TrayIcon {
 public:
  TrayIcon() = default;
  ~TrayIcon() { Remove(); }
  TrayIcon(const TrayIcon&) = delete;
  TrayIcon& operator=(const TrayIcon&) = delete;

  // The window that owns the icon and gets callbackMessage for its clicks. Empty notify:
  // the shell's.
  void Attach(HWND window, UINT callbackMessage, NotifyIconFunction notify);
  // Shows the icon with that picture (not owned: it must live until changed or removed) and
  // tooltip, or changes the one shown. False when the shell did not take it (no notification
  // area runs); it is added when one starts.
  bool Show(HICON icon, std::string_view tip);
  // The shell has (re)started and forgotten its icons (TaskbarCreated).
  void Restore();
  void Remove();
  bool Wanted() const { return wanted_; }

 private:
  bool Notify(DWORD message);

  HWND window_ = nullptr;
  UINT callbackMessage_ = 0;
  NotifyIconFunction notify_;
  HICON icon_ = nullptr;
  std::wstring tip_;
  bool wanted_ = false;  // between Show and Remove
  bool added_ = false;   // the shell took it
};

}  // namespace tavi
