// The main window's icon in the notification area: its tooltip, its clicks and its menu of
// places.
#include <string>
#include <vector>

#include "app/main_window_win32.h"
#include "app/tray_menu.h"
#include "profiles/profile_list.h"
#include "win/handle.h"
#include "win/text_win32.h"

namespace tavi {
namespace {

// Menu commands: a place is kTrayPlaceCommand plus its position.
constexpr UINT kTrayOpenCommand = 1;
constexpr UINT kTrayCloseCommand = 2;
constexpr UINT kTrayPlaceCommand = 100;

UINT CommandOf(const TrayMenuItem& item) {
  switch (item.kind) {
    case TrayMenuItem::Kind::Place:
      return kTrayPlaceCommand + static_cast<UINT>(item.place);
    case TrayMenuItem::Kind::Open:
      return kTrayOpenCommand;
    case TrayMenuItem::Kind::Close:
      return kTrayCloseCommand;
    case TrayMenuItem::Kind::Separator:
      break;
  }
  return 0;
}

Menu CreateTrayMenu(const std::vector<TrayMenuItem>& items) {
  Menu menu(::CreatePopupMenu());
  if (!menu) return menu;
  for (const TrayMenuItem& item : items) {
    std::wstring text = Utf8ToWide(item.text);
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_STRING;
    // One place of many is the current one: a bullet, not a tick.
    if (item.kind == TrayMenuItem::Kind::Separator) info.fType = MFT_SEPARATOR;
    if (item.kind == TrayMenuItem::Kind::Place) info.fType = MFT_RADIOCHECK;
    info.fState = (item.checked ? MFS_CHECKED : 0) | (item.enabled ? 0 : MFS_GRAYED);
    info.wID = CommandOf(item);
    info.dwTypeData = text.data();
    ::InsertMenuItemW(menu.get(), ::GetMenuItemCount(menu.get()), TRUE, &info);
  }
  // What a left click on the icon does.
  ::SetMenuDefaultItem(menu.get(), kTrayOpenCommand, FALSE);
  return menu;
}

}  // namespace

void TfrmMain::AddTrayIcon() {
  if (trayIcon_.Wanted() || closeRequested_ || !window_) return;
  ShowTrayIcon();
}

void TfrmMain::ShowTrayIcon() {
  trayIcon_.Show(smallIcon_.get(), TrayTipText(lastApply_));
}

void TfrmMain::RememberApply(const std::string& place, bool applied) {
  lastApply_ = {applied ? LastApply::Outcome::Applied : LastApply::Outcome::Failed, place};
  if (trayIcon_.Wanted()) ShowTrayIcon();
}

void TfrmMain::OnTrayNotification(UINT mouseMessage) {
  if (mouseMessage == WM_LBUTTONUP) ShowFromTray();
  if (mouseMessage == WM_RBUTTONUP) ShowTrayMenu();
}

void TfrmMain::ShowFromTray() {
  if (::IsIconic(window_)) ::ShowWindow(window_, SW_RESTORE);
  // A box the window has open comes forward with it.
  ::SetForegroundWindow(::GetLastActivePopup(window_));
}

void TfrmMain::ShowTrayMenu() {
  const std::vector<std::string> places = PlaceNames(Profiles);
  // While a box of the window is open the window takes no clicks; neither does the menu, but
  // for showing the window (and the box).
  auto state = [this] {
    const bool free = ::IsWindowEnabled(window_) != FALSE;
    return TrayMenuState{free && !applying_ && !updating_, free};
  };
  const Menu menu = CreateTrayMenu(TrayMenuItems(places, lastApply_, state()));
  if (!menu) return;
  POINT at{};
  ::GetCursorPos(&at);
  // The menu closes when the user clicks elsewhere only when its window is in the foreground.
  ::SetForegroundWindow(window_);
  const auto chosen = static_cast<UINT>(
      ::TrackPopupMenu(menu.get(), TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON | TPM_BOTTOMALIGN,
                       at.x, at.y, 0, window_, nullptr));
  ::PostMessageW(window_, WM_NULL, 0, 0);
  if (chosen == kTrayOpenCommand) {
    ShowFromTray();
  } else if (chosen == kTrayCloseCommand) {
    if (state().canClose) Close();
  } else if (chosen >= kTrayPlaceCommand) {
    // The menu's wait dispatched messages: the place must still be where it was, and nothing
    // else may have started meanwhile.
    const size_t index = chosen - kTrayPlaceCommand;
    if (index < Profiles.size() && Profiles[index].Place == places[index] && state().canApply) {
      ApplyPlaceAt(static_cast<int>(index));
    }
  }
}

}  // namespace tavi
