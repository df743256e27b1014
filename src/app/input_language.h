// Which keyboard layout a field asks for when it receives the focus. The Korean fields name
// an input method; the system may have it, another Korean one, or no Korean layout at all.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace tavi {

inline constexpr std::string_view kFieldInputMethod = "한국어(한글) (MS-IME98)";
inline constexpr std::string_view kConnectionInputMethod = "Microsoft IME 2003";

struct KeyboardLayoutInfo {
  std::uint16_t language = 0;  // the layout's language identifier
  std::string imeDescription;  // empty for a layout without an input method
};

// Index of the layout to activate: the Korean layout whose input method has the wanted
// name; else the current layout when it is Korean; else the first Korean layout. -1 when
// the system has no Korean layout (then nothing is switched). current may be -1.
int ChooseKeyboardLayout(std::span<const KeyboardLayoutInfo> layouts, int current,
                         std::string_view wanted);

}  // namespace tavi
