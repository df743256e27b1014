#include "app/input_method_win32.h"

#include <imm.h>

#include <vector>

#include "app/input_language.h"
#include "win/text_win32.h"

namespace tavi {
namespace {

std::string ImeDescription(HKL layout) {
  const UINT length = ::ImmGetDescriptionW(layout, nullptr, 0);
  if (length == 0) return {};
  std::wstring text(length + 1, L'\0');
  text.resize(::ImmGetDescriptionW(layout, text.data(), length + 1));
  return WideToUtf8(text);
}

}  // namespace

HKL SwitchToInputMethod(std::string_view wanted) {
  const int count = ::GetKeyboardLayoutList(0, nullptr);
  if (count <= 0) return nullptr;
  std::vector<HKL> handles(static_cast<size_t>(count));
  handles.resize(static_cast<size_t>(::GetKeyboardLayoutList(count, handles.data())));

  const HKL active = ::GetKeyboardLayout(0);
  std::vector<KeyboardLayoutInfo> layouts;
  int current = -1;
  for (HKL handle : handles) {
    if (handle == active) current = static_cast<int>(layouts.size());
    const auto bits = reinterpret_cast<UINT_PTR>(handle);
    layouts.push_back({static_cast<std::uint16_t>(bits & 0xFFFF), ImeDescription(handle)});
  }
  const int chosen = ChooseKeyboardLayout(layouts, current, wanted);
  if (chosen < 0 || chosen == current) return nullptr;
  return ::ActivateKeyboardLayout(handles[static_cast<size_t>(chosen)], 0);
}

void SetHangulMode(HWND field) {
  const HIMC context = ::ImmGetContext(field);
  if (!context) return;
  DWORD conversion = 0;
  DWORD sentence = 0;
  ::ImmSetOpenStatus(context, TRUE);
  if (::ImmGetConversionStatus(context, &conversion, &sentence)) {
    ::ImmSetConversionStatus(context, conversion | IME_CMODE_HANGUL, sentence);
  }
  ::ImmReleaseContext(field, context);
}

}  // namespace tavi
