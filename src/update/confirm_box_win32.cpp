#include "update/confirm_box_win32.h"

#include "win/text_win32.h"

namespace tavi {
namespace {

// The hook of the box being shown on this thread: it renames the buttons when the box
// first activates, then removes itself, so boxes shown later are left alone. The program
// shows its boxes on one thread.
HHOOK pendingHook = nullptr;

LRESULT CALLBACK RenameButtons(int code, WPARAM wParam, LPARAM lParam) {
  const HHOOK hook = pendingHook;
  const HWND box = reinterpret_cast<HWND>(wParam);
  if (code == HCBT_ACTIVATE && hook && ::GetDlgItem(box, IDYES) && ::GetDlgItem(box, IDNO)) {
    ::SetDlgItemTextW(box, IDYES, Utf8ToWide(kYesButtonText).c_str());
    ::SetDlgItemTextW(box, IDNO, Utf8ToWide(kNoButtonText).c_str());
    pendingHook = nullptr;
    ::UnhookWindowsHookEx(hook);
  }
  return ::CallNextHookEx(hook, code, wParam, lParam);
}

}  // namespace

int ShowConfirmBox(HWND owner, std::string_view text, std::string_view caption) {
  if (!pendingHook) {
    pendingHook = ::SetWindowsHookExW(WH_CBT, &RenameButtons, nullptr, ::GetCurrentThreadId());
  }
  const int answer = ::MessageBoxW(owner, Utf8ToWide(text).c_str(), Utf8ToWide(caption).c_str(),
                                   MB_YESNO | MB_ICONQUESTION);
  if (pendingHook) {  // the box never activated
    ::UnhookWindowsHookEx(pendingHook);
    pendingHook = nullptr;
  }
  return answer == IDYES ? IDYES : IDNO;
}

}  // namespace tavi
