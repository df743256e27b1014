#include "app/tray_icon_win32.h"

#include <algorithm>
#include <utility>

#include "win/text_win32.h"

namespace tavi {
namespace {

constexpr UINT kIconId = 1;

// The tooltip field of the structure every system since Windows 2000 reads, and a longer tip
// cut to it with an ellipsis, never inside a character.
std::wstring FittedTip(std::string_view tip) {
  constexpr size_t kRoom = sizeof(NOTIFYICONDATAW::szTip) / sizeof(wchar_t) - 1;
  std::wstring wide = Utf8ToWide(tip);
  if (wide.size() <= kRoom) return wide;
  wide.resize(kRoom - 1);
  if (wide.back() >= 0xD800 && wide.back() <= 0xDBFF) wide.pop_back();
  return wide + L'\u2026';
}

}  // namespace

void TrayIcon::Attach(HWND window, UINT callbackMessage, NotifyIconFunction notify) {
  window_ = window;
  callbackMessage_ = callbackMessage;
  notify_ = notify ? std::move(notify) : [](DWORD message, NOTIFYICONDATAW& data) {
    return ::Shell_NotifyIconW(message, &data) != FALSE;
  };
}

bool TrayIcon::Show(HICON icon, std::string_view tip) {
  icon_ = icon;
  tip_ = FittedTip(tip);
  wanted_ = true;
  if (added_ && Notify(NIM_MODIFY)) return true;
  Restore();
  return added_;
}

void TrayIcon::Restore() {
  if (!wanted_ || !window_) return;
  // A shell that still has it (a spurious restart message) refuses to add it twice.
  added_ = Notify(NIM_ADD) || Notify(NIM_MODIFY);
}

void TrayIcon::Remove() {
  if (!wanted_) return;
  wanted_ = false;
  if (added_) Notify(NIM_DELETE);
  added_ = false;
}

bool TrayIcon::Notify(DWORD message) {
  NOTIFYICONDATAW data{};
  data.cbSize = NOTIFYICONDATAW_V2_SIZE;  // Windows 2000 and XP know no larger one
  data.hWnd = window_;
  data.uID = kIconId;
  if (message != NIM_DELETE) {
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = callbackMessage_;
    data.hIcon = icon_;
    std::copy(tip_.begin(), tip_.end(), data.szTip);
  }
  return notify_(message, data);
}

}  // namespace tavi
