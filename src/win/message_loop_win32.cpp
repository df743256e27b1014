#include "win/message_loop_win32.h"

namespace tavi {
namespace {

HWND navigationWindow = nullptr;

void Dispatch(MSG& message) {
  if (navigationWindow && ::IsWindow(navigationWindow) &&
      ::IsDialogMessageW(navigationWindow, &message)) {
    return;
  }
  ::TranslateMessage(&message);
  ::DispatchMessageW(&message);
}

}  // namespace

void SetDialogNavigationWindow(HWND window) {
  navigationWindow = window;
}

int RunMessageLoop() {
  MSG message;
  for (;;) {
    const BOOL result = ::GetMessageW(&message, nullptr, 0, 0);
    if (result == 0) return static_cast<int>(message.wParam);
    if (result == -1) return -1;
    Dispatch(message);
  }
}

bool ProcessMessages() {
  MSG message;
  while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      ::PostQuitMessage(static_cast<int>(message.wParam));
      return false;
    }
    Dispatch(message);
  }
  return true;
}

bool DispatchMessagesUntilSignaled(HANDLE object) {
  for (;;) {
    // MWMO_INPUTAVAILABLE also wakes for messages that an earlier peek saw but left queued.
    const DWORD result =
        ::MsgWaitForMultipleObjectsEx(1, &object, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    // A handle that cannot be waited on ends the wait instead of spinning on it.
    if (result == WAIT_OBJECT_0 || result == WAIT_FAILED) return true;
    if (!ProcessMessages()) return false;
  }
}

}  // namespace tavi
