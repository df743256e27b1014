#include "app/user_prompts.h"

#include "update/confirm_box_win32.h"
#include "win/text_win32.h"

namespace tavi {

int MessageBoxPrompts::Show(HWND owner, std::string_view text, std::string_view caption,
                            UINT flags) {
  return ::MessageBoxW(owner, Utf8ToWide(text).c_str(), Utf8ToWide(caption).c_str(), flags);
}

int MessageBoxPrompts::Confirm(HWND owner, std::string_view text, std::string_view caption) {
  return ShowConfirmBox(owner, text, caption);
}

}  // namespace tavi
