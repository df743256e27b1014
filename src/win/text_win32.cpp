#include "win/text_win32.h"

#include <limits>

namespace tavi {
namespace {

std::wstring ToWide(std::string_view bytes, UINT codePage) {
  if (bytes.empty()) return {};
  const int inLength = static_cast<int>(bytes.size());
  const int length = ::MultiByteToWideChar(codePage, 0, bytes.data(), inLength, nullptr, 0);
  std::wstring wide(static_cast<size_t>(length), L'\0');
  ::MultiByteToWideChar(codePage, 0, bytes.data(), inLength, wide.data(), length);
  return wide;
}

std::string FromWide(std::wstring_view wide, UINT codePage, BOOL* usedDefault = nullptr) {
  if (wide.empty()) return {};
  const int inLength = static_cast<int>(wide.size());
  // UTF-8 refuses the default-character arguments; 8-bit code pages report a lossy conversion.
  const bool utf8 = codePage == CP_UTF8;
  const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
  BOOL* lossy = utf8 ? nullptr : usedDefault;
  const int length =
      ::WideCharToMultiByte(codePage, flags, wide.data(), inLength, nullptr, 0, nullptr, lossy);
  std::string bytes(static_cast<size_t>(length), '\0');
  ::WideCharToMultiByte(codePage, flags, wide.data(), inLength, bytes.data(), length, nullptr,
                        lossy);
  return bytes;
}

}  // namespace

std::wstring Utf8ToWide(std::string_view text) {
  return ToWide(text, CP_UTF8);
}

std::string WideToUtf8(std::wstring_view text) {
  return FromWide(text, CP_UTF8);
}

std::string CodePageToUtf8(std::string_view bytes, UINT codePage) {
  return WideToUtf8(ToWide(bytes, codePage));
}

std::string Utf8ToCodePage(std::string_view text, UINT codePage) {
  return FromWide(Utf8ToWide(text), codePage);
}

bool FitsCodePage(std::string_view text, UINT codePage) {
  const std::wstring wide = Utf8ToWide(text);
  BOOL usedDefault = FALSE;
  const std::string bytes = FromWide(wide, codePage, &usedDefault);
  return !usedDefault && ToWide(bytes, codePage) == wide;
}

std::wstring UpperInvariant(std::string_view text) {
  const std::wstring wide = Utf8ToWide(text);
  if (wide.empty()) return wide;
  std::wstring upper(wide.size(), L'\0');
  const int length = static_cast<int>(wide.size());
  if (::LCMapStringW(LOCALE_INVARIANT, LCMAP_UPPERCASE, wide.data(), length, upper.data(),
                     length) != length) {
    return wide;
  }
  return upper;
}

bool SameIgnoringCase(std::string_view a, std::string_view b) {
  return UpperInvariant(a) == UpperInvariant(b);
}

std::string GetWindowTextUtf8(HWND window) {
  const int length = ::GetWindowTextLengthW(window);
  if (length <= 0) return {};
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  const int copied = ::GetWindowTextW(window, text.data(), length + 1);
  text.resize(static_cast<size_t>(copied > 0 ? copied : 0));
  return WideToUtf8(text);
}

void SetWindowTextUtf8(HWND window, std::string_view text) {
  ::SetWindowTextW(window, Utf8ToWide(text).c_str());
}

std::string ExecutablePath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD size = static_cast<DWORD>(path.size());
    const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), size);
    if (length == 0) return {};
    if (length < size) {
      path.resize(length);
      return WideToUtf8(path);
    }
    if (path.size() > std::numeric_limits<DWORD>::max() / 2) return {};
    path.resize(path.size() * 2);
  }
}

}  // namespace tavi
