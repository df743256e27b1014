#include "app/progress_dialog_win32.h"

#include <commctrl.h>

#include <algorithm>

#include "win/text_win32.h"

namespace tavi {
namespace {

constexpr wchar_t kWindowClass[] = L"TaviProgressDialog";
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_TOOLWINDOW;

// Layout at 96 pixels per inch: two lines of text above the bar.
constexpr int kClientWidth96 = 400;
constexpr int kClientHeight96 = 84;
constexpr int kMargin96 = 12;
constexpr int kTextHeight96 = 30;
constexpr int kBarTop96 = 48;
constexpr int kBarHeight96 = 20;

int Scale(int value96, int dpi) {
  return ::MulDiv(value96, dpi, 96);
}

bool RegisterWindowClass(WNDPROC windowProc) {
  WNDCLASSEXW windowClass = {};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = windowProc;
  windowClass.hInstance = ::GetModuleHandleW(nullptr);
  windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = kWindowClass;
  return ::RegisterClassExW(&windowClass) || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

HFONT CreateMessageFont() {
  NONCLIENTMETRICSW metrics = {};
  metrics.cbSize = sizeof metrics;
  if (!::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
    return nullptr;
  }
  return ::CreateFontIndirectW(&metrics.lfMessageFont);
}

}  // namespace

TProgressDialog::TProgressDialog() {
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_PROGRESS_CLASS};
  ::InitCommonControlsEx(&controls);
  if (!RegisterWindowClass(&WindowProc)) return;

  int dpi = 96;
  if (const HDC screen = ::GetDC(nullptr)) {
    dpi = std::max(96, ::GetDeviceCaps(screen, LOGPIXELSY));
    ::ReleaseDC(nullptr, screen);
  }
  RECT frame = {0, 0, Scale(kClientWidth96, dpi), Scale(kClientHeight96, dpi)};
  ::AdjustWindowRectEx(&frame, kStyle, FALSE, kExStyle);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  const int left = std::max(0, (::GetSystemMetrics(SM_CXSCREEN) - width) / 2);
  const int top = std::max(0, (::GetSystemMetrics(SM_CYSCREEN) - height) / 2);
  const HINSTANCE instance = ::GetModuleHandleW(nullptr);
  window_.reset(::CreateWindowExW(kExStyle, kWindowClass, L"", kStyle, left, top, width, height,
                                  nullptr, nullptr, instance, nullptr));
  if (!window_) return;

  const int margin = Scale(kMargin96, dpi);
  const int innerWidth = Scale(kClientWidth96, dpi) - 2 * margin;
  textLine_ = ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX,
                                margin, margin, innerWidth, Scale(kTextHeight96, dpi),
                                window_.get(), nullptr, instance, nullptr);
  bar_ = ::CreateWindowExW(0, PROGRESS_CLASSW, L"", WS_CHILD | WS_VISIBLE | PBS_SMOOTH, margin,
                           Scale(kBarTop96, dpi), innerWidth, Scale(kBarHeight96, dpi),
                           window_.get(), nullptr, instance, nullptr);
  ::SendMessageW(bar_, PBM_SETRANGE32, 0, 100);
  ::SendMessageW(bar_, PBM_SETPOS, 0, 0);
  font_.reset(CreateMessageFont());
  if (font_) ::SendMessageW(textLine_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
}

TProgressDialog::~TProgressDialog() {
  window_.reset();  // before the font its text line uses
}

void TProgressDialog::Show() {
  if (!window_) return;
  ::ShowWindow(window_.get(), SW_SHOWNA);
  ::UpdateWindow(window_.get());
}

bool TProgressDialog::SetCaption(std::string_view caption) {
  if (caption == caption_) return false;
  caption_ = caption;
  if (window_) SetWindowTextUtf8(window_.get(), caption_);
  return true;
}

bool TProgressDialog::SetText(std::string_view text) {
  if (text == text_) return false;
  text_ = text;
  if (textLine_) SetWindowTextUtf8(textLine_, text_);
  return true;
}

bool TProgressDialog::SetPosition(int percent) {
  percent = std::clamp(percent, 0, 100);
  if (percent == position_) return false;
  position_ = percent;
  if (bar_) ::SendMessageW(bar_, PBM_SETPOS, static_cast<WPARAM>(percent), 0);
  return true;
}

LRESULT CALLBACK TProgressDialog::WindowProc(HWND window, UINT message, WPARAM wParam,
                                             LPARAM lParam) {
  if (message == WM_CLOSE) return 0;  // nothing to cancel: the update ends it
  return ::DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace tavi
