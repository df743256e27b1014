// Every message box of the main window goes through this interface, so that tests can
// answer the boxes instead of a person (a modal box would wait for ever in a test).
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
};

// The system's message boxes.
class MessageBoxPrompts final : public UserPrompts {
 public:
  int Show(HWND owner, std::string_view text, std::string_view caption, UINT flags) override;
};

}  // namespace tavi
