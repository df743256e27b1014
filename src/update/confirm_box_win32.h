// The question before an update: a Yes/No message box whose buttons read "&Yes" and "&No"
// in every system language (the system's own box would show its localized texts).
#pragma once

#include <windows.h>

#include <string_view>

namespace tavi {

inline constexpr char kYesButtonText[] = "&Yes";
inline constexpr char kNoButtonText[] = "&No";

// A modal box with the question icon; returns IDYES or IDNO (IDNO also when it was closed
// otherwise).
int ShowConfirmBox(HWND owner, std::string_view text, std::string_view caption);

}  // namespace tavi
