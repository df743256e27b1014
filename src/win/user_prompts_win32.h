// Every message box of the program goes through this interface, so that tests can answer
// the boxes instead of a person (a modal box would wait for ever in a test).
#pragma once

#include <windows.h>

#include <string_view>

namespace tavi {

class UserPrompts {
 public:
  virtual ~UserPrompts() = default;

  // Shows a modal message box: flags are MessageBox's (MB_OK | MB_ICONERROR, ...). Returns
  // the button that closed it (IDOK, IDYES, ...).
  virtual int Show(HWND owner, std::string_view text, std::string_view caption, UINT flags) = 0;

  // Asks a question with the question icon and the buttons "&Yes" and "&No"; returns IDYES
  // or IDNO. A box of Show with MB_YESNO | MB_ICONQUESTION unless a prompt shows its own.
  virtual int Confirm(HWND owner, std::string_view text, std::string_view caption) {
    return Show(owner, text, caption, MB_YESNO | MB_ICONQUESTION);
  }
};

// The system's message boxes.
class MessageBoxPrompts final : public UserPrompts {
 public:
  int Show(HWND owner, std::string_view text, std::string_view caption, UINT flags) override;
  // The system's box with its buttons renamed "&Yes" and "&No" in every language (it would
  // show its localized texts); IDNO also when the box was closed otherwise.
  int Confirm(HWND owner, std::string_view text, std::string_view caption) override;
};

}  // namespace tavi
