#include "app/newer_windows_win32.h"

#include "win/system_function_win32.h"

namespace tavi {
namespace {

HMODULE User32() {
  return ::GetModuleHandleW(L"user32.dll");
}

template <typename Function>
Function User32Function(const char* name) {
  return SystemFunction<Function>(User32(), name);
}

}  // namespace

int SystemDpi() {
  int dpi = 0;
  if (const HDC screen = ::GetDC(nullptr)) {
    dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);
  }
  return dpi > 0 ? dpi : 96;
}

int WindowDpi(HWND window) {
  using Function = UINT(WINAPI*)(HWND);
  static const auto getDpiForWindow = User32Function<Function>("GetDpiForWindow");
  const UINT dpi = getDpiForWindow && window ? getDpiForWindow(window) : 0;
  return dpi > 0 ? static_cast<int>(dpi) : SystemDpi();
}

int SystemMetricForDpi(int index, int dpi) {
  using Function = int(WINAPI*)(int, UINT);
  static const auto getSystemMetricsForDpi = User32Function<Function>("GetSystemMetricsForDpi");
  if (getSystemMetricsForDpi) return getSystemMetricsForDpi(index, static_cast<UINT>(dpi));
  return ::MulDiv(::GetSystemMetrics(index), dpi, SystemDpi());
}

void AdjustWindowRectForDpi(RECT& rect, DWORD style, DWORD extendedStyle, int dpi) {
  using Function = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
  static const auto adjust = User32Function<Function>("AdjustWindowRectExForDpi");
  if (adjust && adjust(&rect, style, FALSE, extendedStyle, static_cast<UINT>(dpi))) return;
  ::AdjustWindowRectEx(&rect, style, FALSE, extendedStyle);
}

void ScaleNonClientArea(HWND window) {
  using Function = BOOL(WINAPI*)(HWND);
  static const auto enable = User32Function<Function>("EnableNonClientDpiScaling");
  if (enable) enable(window);
}

void AllowMessageFromShell(HWND window, UINT message) {
  using ForWindow = BOOL(WINAPI*)(HWND, UINT, DWORD, void*);
  using ForProcess = BOOL(WINAPI*)(UINT, DWORD);
  static const auto forWindow = User32Function<ForWindow>("ChangeWindowMessageFilterEx");
  static const auto forProcess = User32Function<ForProcess>("ChangeWindowMessageFilter");
  constexpr DWORD kAllow = 1;  // MSGFLT_ALLOW and MSGFLT_ADD
  if (forWindow) {
    forWindow(window, message, kAllow, nullptr);
  } else if (forProcess) {
    forProcess(message, kAllow);
  }
}

}  // namespace tavi
