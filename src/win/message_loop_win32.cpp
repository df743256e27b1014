#include "win/message_loop_win32.h"

namespace tavi {
namespace {

constexpr wchar_t kNavigationProperty[] = L"TaviDialogNavigation";

void Dispatch(MSG& message) {
  // The top-level window of the message's window (of its control, say) says whether it wants
  // its keyboard interface run: each window keeps its own mark, and no list of them is kept.
  const HWND top = message.hwnd ? ::GetAncestor(message.hwnd, GA_ROOT) : nullptr;
  if (top && ::GetPropW(top, kNavigationProperty) && ::IsDialogMessageW(top, &message)) return;
  ::TranslateMessage(&message);
  ::DispatchMessageW(&message);
}

}  // namespace

void SetDialogNavigation(HWND window, bool enabled) {
  if (enabled) {
    ::SetPropW(window, kNavigationProperty, reinterpret_cast<HANDLE>(1));
  } else {
    ::RemovePropW(window, kNavigationProperty);
  }
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

bool DispatchMessagesFor(DWORD milliseconds) {
  const DWORD start = ::GetTickCount();
  for (;;) {
    const DWORD elapsed = ::GetTickCount() - start;
    if (elapsed >= milliseconds) return true;
    ::MsgWaitForMultipleObjectsEx(0, nullptr, milliseconds - elapsed, QS_ALLINPUT,
                                  MWMO_INPUTAVAILABLE);
    if (!ProcessMessages()) return false;
  }
}

bool DispatchMessagesUntilSignaled(HANDLE object, const std::function<bool()>& done) {
  for (;;) {
    // MWMO_INPUTAVAILABLE also wakes for messages that an earlier peek saw but left queued.
    const DWORD result =
        ::MsgWaitForMultipleObjectsEx(1, &object, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    // A handle that cannot be waited on ends the wait instead of spinning on it.
    if (result == WAIT_OBJECT_0 || result == WAIT_FAILED) return true;
    if (!ProcessMessages()) return false;
    if (done && done()) return true;
  }
}

}  // namespace tavi
