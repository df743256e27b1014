#include "win/user_prompts_win32.h"

#include "win/handle.h"
#include "win/text_win32.h"

namespace tavi {
namespace {

constexpr char kYesButtonText[] = "&Yes";
constexpr char kNoButtonText[] = "&No";

// Renames the buttons of a Yes/No box when it activates. A CBT hook is given no object to keep
// state in, so this one keeps none: Confirm installs it for the length of its own box, and the
// Yes/No box that activates on this thread meanwhile is that box (a renaming on a later
// activation changes nothing). The next hook is called without the hook's handle, which the
// system ignores.
LRESULT CALLBACK RenameYesNoButtons(int code, WPARAM wParam, LPARAM lParam) {
  const HWND box = reinterpret_cast<HWND>(wParam);
  if (code == HCBT_ACTIVATE && ::GetDlgItem(box, IDYES) && ::GetDlgItem(box, IDNO)) {
    SetWindowTextUtf8(::GetDlgItem(box, IDYES), kYesButtonText);
    SetWindowTextUtf8(::GetDlgItem(box, IDNO), kNoButtonText);
  }
  return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

int MessageBoxPrompts::Show(HWND owner, std::string_view text, std::string_view caption,
                            UINT flags) {
  return ::MessageBoxW(owner, Utf8ToWide(text).c_str(), Utf8ToWide(caption).c_str(), flags);
}

int MessageBoxPrompts::Confirm(HWND owner, std::string_view text, std::string_view caption) {
  const Hook renaming(
      ::SetWindowsHookExW(WH_CBT, &RenameYesNoButtons, nullptr, ::GetCurrentThreadId()));
  return Show(owner, text, caption, MB_YESNO | MB_ICONQUESTION) == IDYES ? IDYES : IDNO;
}

}  // namespace tavi
