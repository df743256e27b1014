// The input-method wishes of the text fields: a Korean keyboard layout while they have the
// focus, and Hangul mode for the place name.
#pragma once

#include <windows.h>

#include <string_view>

namespace tavi {

// Activates the keyboard layout chosen for a field that names the wanted input method.
// Returns the layout that was active before when it switched, null when nothing changed.
HKL SwitchToInputMethod(std::string_view wanted);

// Opens the field's input method in Hangul (native) conversion mode.
void SetHangulMode(HWND field);

}  // namespace tavi
