#include "app/input_language.h"

namespace tavi {
namespace {

constexpr std::uint16_t kKorean = 0x12;  // primary language of every Korean locale

bool IsKorean(const KeyboardLayoutInfo& layout) {
  return (layout.language & 0x3FF) == kKorean;
}

}  // namespace

int ChooseKeyboardLayout(std::span<const KeyboardLayoutInfo> layouts, int current,
                         std::string_view wanted) {
  const int count = static_cast<int>(layouts.size());
  for (int i = 0; i < count; ++i) {
    if (IsKorean(layouts[i]) && layouts[i].imeDescription == wanted) return i;
  }
  if (current >= 0 && current < count && IsKorean(layouts[current])) return current;
  for (int i = 0; i < count; ++i) {
    if (IsKorean(layouts[i])) return i;
  }
  return -1;
}

}  // namespace tavi
