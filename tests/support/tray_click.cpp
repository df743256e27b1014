// Clicks the last icon of the notification area in the taskbar of Wine's virtual desktop as a
// user's mouse would (for make screenshot: the menu that tavi.exe opens on it).
//   tray_click [right|left]
// Wine lays the icons out from the right end of the taskbar, each as wide as a small icon
// and a border of 2 pixels on either side. The mouse is left in the taskbar's middle. Exits 1
// when there is no taskbar.
#include <windows.h>

#include <cstring>

namespace {

void Press(DWORD down, DWORD up) {
  INPUT input[2] = {};
  input[0].type = input[1].type = INPUT_MOUSE;
  input[0].mi.dwFlags = down;
  input[1].mi.dwFlags = up;
  ::SendInput(2, input, sizeof(INPUT));
}

}  // namespace

int main(int argc, char** argv) {
  const HWND taskbar = ::FindWindowW(L"Shell_TrayWnd", nullptr);
  RECT bar;
  if (!taskbar || !::GetWindowRect(taskbar, &bar) || bar.right <= bar.left) return 1;
  const int slot = ::GetSystemMetrics(SM_CXSMICON) + 4;
  ::SetCursorPos(bar.right - slot / 2, (bar.top + bar.bottom) / 2);
  if (argc > 1 && std::strcmp(argv[1], "left") == 0) {
    Press(MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
  } else {
    Press(MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
  }
  // Then off to the taskbar's middle, where the icon's tooltip does not follow and no item of
  // an open menu lights up.
  ::Sleep(300);
  ::SetCursorPos((bar.left + bar.right) / 2, (bar.top + bar.bottom) / 2);
  return 0;
}
