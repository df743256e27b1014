#include "app/custom_controls_win32.h"

#include <string>

namespace tavi {
namespace {

// Window extra bytes of containers and labels.
constexpr int kFontSlot = 0;
constexpr int kColorSlot = static_cast<int>(sizeof(LONG_PTR));
constexpr int kCustomExtraBytes = 2 * static_cast<int>(sizeof(LONG_PTR));

WNDPROC baseButtonProc = nullptr;
int hotSlot = 0;  // the XP button's own extra bytes follow the base button's

HFONT FontOf(HWND window) {
  return reinterpret_cast<HFONT>(::GetWindowLongPtrW(window, kFontSlot));
}

LRESULT StoreFont(HWND window, WPARAM wParam, LPARAM lParam) {
  ::SetWindowLongPtrW(window, kFontSlot, static_cast<LONG_PTR>(wParam));
  if (LOWORD(lParam)) ::InvalidateRect(window, nullptr, TRUE);
  return 0;
}

std::wstring TextOf(HWND window) {
  std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(
      static_cast<size_t>(::GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

int FontHeight(HDC dc) {
  TEXTMETRICW metrics{};
  ::GetTextMetricsW(dc, &metrics);
  return metrics.tmHeight;
}

// Selects a font into a device context for the lifetime of the object.
class SelectedFont {
 public:
  SelectedFont(HDC dc, HFONT font) : dc_(dc), old_(font ? ::SelectObject(dc, font) : nullptr) {}
  ~SelectedFont() {
    if (old_) ::SelectObject(dc_, old_);
  }
  SelectedFont(const SelectedFont&) = delete;
  SelectedFont& operator=(const SelectedFont&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};

// ---- Containers --------------------------------------------------------------------------

void PaintContainer(HWND window, HDC dc) {
  RECT client;
  ::GetClientRect(window, &client);
  ::FillRect(dc, &client, ::GetSysColorBrush(COLOR_BTNFACE));
  if (!(::GetWindowLongW(window, GWL_STYLE) & kContainerGroupBox)) return;

  SelectedFont font(dc, FontOf(window));
  RECT frame = client;
  frame.top = FontHeight(dc) / 2;
  ::DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);

  const std::wstring caption = TextOf(window);
  if (caption.empty()) return;
  RECT text{8, 0, client.right - 8, FontHeight(dc)};
  ::DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &text,
              DT_SINGLELINE | DT_NOPREFIX | DT_CALCRECT);
  RECT gap = text;
  gap.left -= 2;
  gap.right += 2;
  ::FillRect(dc, &gap, ::GetSysColorBrush(COLOR_BTNFACE));
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, ::GetSysColor(::IsWindowEnabled(window) ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT));
  ::DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &text,
              DT_SINGLELINE | DT_NOPREFIX);
}

LRESULT ContainerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSTATIC:
      // The top-level window handles its controls wherever they sit.
      return ::SendMessageW(::GetAncestor(window, GA_ROOT), message, wParam, lParam);
    case WM_SETFONT:
      return StoreFont(window, wParam, lParam);
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(FontOf(window));
    case WM_ERASEBKGND:
      return 1;  // WM_PAINT covers every pixel
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = ::BeginPaint(window, &paint);
      PaintContainer(window, dc);
      ::EndPaint(window, &paint);
      return 0;
    }
    case WM_PRINTCLIENT:  // themed children draw their parent's background through this
      PaintContainer(window, reinterpret_cast<HDC>(wParam));
      return 0;
    case WM_SETTEXT:
    case WM_ENABLE: {
      const LRESULT result = ::DefWindowProcW(window, message, wParam, lParam);
      ::InvalidateRect(window, nullptr, TRUE);
      return result;
    }
    default:
      return ::DefWindowProcW(window, message, wParam, lParam);
  }
}

// ---- Labels ------------------------------------------------------------------------------

void PaintLabel(HWND window, HDC dc) {
  RECT client;
  ::GetClientRect(window, &client);
  ::FillRect(dc, &client, ::GetSysColorBrush(COLOR_BTNFACE));

  const LONG style = ::GetWindowLongW(window, GWL_STYLE);
  UINT format = DT_LEFT | DT_TOP | DT_NOCLIP;
  format |= (style & kLabelWordWrap) ? DT_WORDBREAK : DT_SINGLELINE;
  if (::SendMessageW(window, WM_QUERYUISTATE, 0, 0) & UISF_HIDEACCEL) format |= DT_HIDEPREFIX;

  SelectedFont font(dc, FontOf(window));
  ::SetBkMode(dc, TRANSPARENT);
  const std::wstring text = TextOf(window);
  const int length = static_cast<int>(text.size());
  if (::IsWindowEnabled(window)) {
    const auto color = static_cast<COLORREF>(::GetWindowLongPtrW(window, kColorSlot));
    ::SetTextColor(dc, color == CLR_INVALID ? ::GetSysColor(COLOR_WINDOWTEXT) : color);
    ::DrawTextW(dc, text.c_str(), length, &client, format);
  } else {
    // The classic engraved look of disabled text: a highlight below right, a shadow on top.
    RECT shifted = client;
    ::OffsetRect(&shifted, 1, 1);
    ::SetTextColor(dc, ::GetSysColor(COLOR_BTNHIGHLIGHT));
    ::DrawTextW(dc, text.c_str(), length, &shifted, format);
    ::SetTextColor(dc, ::GetSysColor(COLOR_BTNSHADOW));
    ::DrawTextW(dc, text.c_str(), length, &client, format);
  }
}

LRESULT LabelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_NCCREATE:
      ::SetWindowLongPtrW(window, kColorSlot, static_cast<LONG_PTR>(CLR_INVALID));
      return ::DefWindowProcW(window, message, wParam, lParam);
    case WM_GETDLGCODE:
      return 0;  // no DLGC_STATIC: the accelerator moves no focus
    case WM_SETFONT:
      return StoreFont(window, wParam, lParam);
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(FontOf(window));
    case kLabelSetTextColor:
      ::SetWindowLongPtrW(window, kColorSlot, static_cast<LONG_PTR>(wParam));
      ::InvalidateRect(window, nullptr, TRUE);
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = ::BeginPaint(window, &paint);
      PaintLabel(window, dc);
      ::EndPaint(window, &paint);
      return 0;
    }
    case WM_PRINTCLIENT:
      PaintLabel(window, reinterpret_cast<HDC>(wParam));
      return 0;
    case WM_SETTEXT:
    case WM_ENABLE:
    case WM_UPDATEUISTATE: {
      const LRESULT result = ::DefWindowProcW(window, message, wParam, lParam);
      ::InvalidateRect(window, nullptr, TRUE);
      return result;
    }
    case WM_SETCURSOR:
      if (::GetWindowLongW(window, GWL_STYLE) & kLabelLink) {
        ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
        return TRUE;
      }
      return ::DefWindowProcW(window, message, wParam, lParam);
    case WM_LBUTTONUP:
      ::SendMessageW(::GetParent(window), WM_COMMAND,
                     MAKEWPARAM(::GetDlgCtrlID(window), STN_CLICKED),
                     reinterpret_cast<LPARAM>(window));
      return 0;
    default:
      return ::DefWindowProcW(window, message, wParam, lParam);
  }
}

// ---- XP buttons --------------------------------------------------------------------------

bool IsHot(HWND button) {
  return ::GetWindowLongPtrW(button, hotSlot) != 0;
}

void SetHot(HWND button, bool hot) {
  if (IsHot(button) == hot) return;
  ::SetWindowLongPtrW(button, hotSlot, hot ? 1 : 0);
  ::InvalidateRect(button, nullptr, FALSE);
}

LRESULT XpButtonProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_MOUSEMOVE:
      if (!IsHot(window)) {
        TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, window, 0};
        ::TrackMouseEvent(&track);
        SetHot(window, true);
      }
      break;
    case WM_MOUSELEAVE:
      SetHot(window, false);
      break;
    case WM_GETDLGCODE: {
      LRESULT code = ::CallWindowProcW(baseButtonProc, window, message, wParam, lParam);
      const auto* key = reinterpret_cast<const MSG*>(lParam);
      if (key && key->message == WM_KEYDOWN && key->wParam == VK_RETURN) code |= DLGC_WANTMESSAGE;
      return code;
    }
    case WM_KEYDOWN:
      if (wParam == VK_RETURN) {
        ::SendMessageW(::GetParent(window), WM_COMMAND,
                       MAKEWPARAM(::GetDlgCtrlID(window), BN_CLICKED),
                       reinterpret_cast<LPARAM>(window));
        return 0;
      }
      break;
    case BM_SETSTYLE:
      // The dialog keyboard interface turns buttons into default buttons and back; an XP
      // button stays owner-drawn.
      wParam = (wParam & ~static_cast<WPARAM>(BS_TYPEMASK)) | BS_OWNERDRAW;
      break;
    case WM_ENABLE:
      ::InvalidateRect(window, nullptr, FALSE);
      break;
    default:
      break;
  }
  return ::CallWindowProcW(baseButtonProc, window, message, wParam, lParam);
}

COLORREF Mix(COLORREF from, COLORREF to, int step, int steps) {
  if (steps <= 0) return from;
  auto channel = [&](int shift) {
    const int a = (from >> shift) & 0xFF;
    const int b = (to >> shift) & 0xFF;
    return static_cast<COLORREF>(a + (b - a) * step / steps) << shift;
  };
  return channel(0) | channel(8) | channel(16);
}

void FillRow(HDC dc, int left, int right, int y, COLORREF color) {
  if (right <= left) return;
  ::SetBkColor(dc, color);
  const RECT row{left, y, right, y + 1};
  ::ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &row, nullptr, 0, nullptr);
}

void FillColumn(HDC dc, int x, int top, int bottom, COLORREF color) {
  if (bottom <= top) return;
  ::SetBkColor(dc, color);
  const RECT column{x, top, x + 1, bottom};
  ::ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &column, nullptr, 0, nullptr);
}

struct XpPalette {
  COLORREF border, faceTop, faceBottom, text;
};

XpPalette PaletteFor(bool disabled, bool pressed) {
  if (disabled)
    return {RGB(201, 199, 186), RGB(245, 244, 234), RGB(245, 244, 234), RGB(161, 161, 146)};
  if (pressed) return {RGB(0, 60, 116), RGB(209, 204, 193), RGB(239, 239, 234), RGB(0, 0, 0)};
  return {RGB(0, 60, 116), RGB(255, 255, 255), RGB(226, 223, 214), RGB(0, 0, 0)};
}

// A two-pixel ring just inside the border, shading from top to bottom: orange when the
// mouse is over the button, blue when it has the focus.
void DrawInnerRing(HDC dc, const RECT& r, COLORREF top, COLORREF bottom) {
  const int height = r.bottom - r.top;
  for (int y = r.top + 1; y < r.bottom - 1; ++y) {
    const COLORREF color = Mix(top, bottom, y - r.top, height - 1);
    FillColumn(dc, r.left + 1, y, y + 1, color);
    FillColumn(dc, r.left + 2, y, y + 1, color);
    FillColumn(dc, r.right - 2, y, y + 1, color);
    FillColumn(dc, r.right - 3, y, y + 1, color);
  }
  FillRow(dc, r.left + 2, r.right - 2, r.top + 1, top);
  FillRow(dc, r.left + 2, r.right - 2, r.top + 2, Mix(top, bottom, 1, height - 1));
  FillRow(dc, r.left + 2, r.right - 2, r.bottom - 3, Mix(top, bottom, height - 2, height - 1));
  FillRow(dc, r.left + 2, r.right - 2, r.bottom - 2, bottom);
}

// Without a border, an edge or scroll bars a window has no non-client area.
bool Frameless(HWND window) {
  constexpr LONG kFrame = WS_BORDER | WS_DLGFRAME | WS_THICKFRAME | WS_HSCROLL | WS_VSCROLL;
  constexpr LONG kEdges =
      WS_EX_CLIENTEDGE | WS_EX_STATICEDGE | WS_EX_WINDOWEDGE | WS_EX_DLGMODALFRAME;
  return !(::GetWindowLongW(window, GWL_STYLE) & kFrame) &&
         !(::GetWindowLongW(window, GWL_EXSTYLE) & kEdges);
}

// No exception leaves a window procedure; an out-of-memory here only skips one message.
// A frameless control answers the non-client messages itself: its client area is the whole
// window, and there is nothing to paint around it. (The default handling would get a device
// context for the empty frame of every control, each time the window is shown.)
template <LRESULT (*Procedure)(HWND, UINT, WPARAM, LPARAM)>
LRESULT CALLBACK Guarded(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if ((message == WM_NCCALCSIZE || message == WM_NCPAINT) && Frameless(window)) return 0;
  try {
    return Procedure(window, message, wParam, lParam);
  } catch (...) {
    return 0;
  }
}

}  // namespace

void RegisterCustomControls(HINSTANCE instance) {
  static const bool registered = [instance] {
    WNDCLASSEXW container{};
    container.cbSize = sizeof container;
    container.lpfnWndProc = Guarded<ContainerProc>;
    container.cbWndExtra = kCustomExtraBytes;
    container.hInstance = instance;
    container.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    container.lpszClassName = kContainerClass;
    ::RegisterClassExW(&container);

    WNDCLASSEXW label = container;
    label.lpfnWndProc = Guarded<LabelProc>;
    label.lpszClassName = kLabelClass;
    ::RegisterClassExW(&label);

    // A superclass of the system's button: its behaviour, our cursor and hot tracking.
    WNDCLASSEXW button{};
    button.cbSize = sizeof button;
    ::GetClassInfoExW(nullptr, L"BUTTON", &button);
    baseButtonProc = button.lpfnWndProc;
    hotSlot = button.cbWndExtra;
    button.cbWndExtra += static_cast<int>(sizeof(LONG_PTR));
    button.lpfnWndProc = Guarded<XpButtonProc>;
    button.hInstance = instance;
    button.hCursor = ::LoadCursorW(nullptr, IDC_HAND);
    button.style &=
        ~static_cast<UINT>(CS_DBLCLKS | CS_GLOBALCLASS);  // a quick second click clicks again
    button.lpszClassName = kXpButtonClass;
    ::RegisterClassExW(&button);
    return true;
  }();
  (void)registered;
}

bool IsXpButton(HWND window) {
  wchar_t name[32] = {};
  ::GetClassNameW(window, name, static_cast<int>(std::size(name)));
  return ::lstrcmpiW(name, kXpButtonClass) == 0;
}

void DrawXpButton(const DRAWITEMSTRUCT& item) {
  HDC dc = item.hDC;
  const RECT r = item.rcItem;
  const bool disabled = item.itemState & ODS_DISABLED;
  const bool pressed = item.itemState & ODS_SELECTED;
  const bool focused = item.itemState & ODS_FOCUS;
  const bool hot = !disabled && IsHot(item.hwndItem);
  const XpPalette palette = PaletteFor(disabled, pressed);
  const int height = r.bottom - r.top;

  // The corners outside the rounded border show the parent's colour.
  ::FillRect(dc, &r, ::GetSysColorBrush(COLOR_BTNFACE));
  for (int y = r.top + 1; y < r.bottom - 1; ++y) {
    FillRow(dc, r.left + 1, r.right - 1, y,
            Mix(palette.faceTop, palette.faceBottom, y - r.top, height));
  }
  // Rounded border: straight edges, then one pixel cut diagonally at each corner.
  FillRow(dc, r.left + 2, r.right - 2, r.top, palette.border);
  FillRow(dc, r.left + 2, r.right - 2, r.bottom - 1, palette.border);
  FillColumn(dc, r.left, r.top + 2, r.bottom - 2, palette.border);
  FillColumn(dc, r.right - 1, r.top + 2, r.bottom - 2, palette.border);
  const COLORREF corner = Mix(palette.border, ::GetSysColor(COLOR_BTNFACE), 1, 2);
  FillRow(dc, r.left + 1, r.left + 2, r.top + 1, corner);
  FillRow(dc, r.right - 2, r.right - 1, r.top + 1, corner);
  FillRow(dc, r.left + 1, r.left + 2, r.bottom - 2, corner);
  FillRow(dc, r.right - 2, r.right - 1, r.bottom - 2, corner);

  if (hot && !pressed) {
    DrawInnerRing(dc, r, RGB(255, 240, 207), RGB(229, 151, 0));
  } else if (focused && !pressed && !disabled) {
    DrawInnerRing(dc, r, RGB(206, 231, 255), RGB(105, 130, 238));
  }

  const std::wstring caption = TextOf(item.hwndItem);
  RECT text = r;
  if (pressed) ::OffsetRect(&text, 1, 1);
  SelectedFont font(dc, reinterpret_cast<HFONT>(::SendMessageW(item.hwndItem, WM_GETFONT, 0, 0)));
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, palette.text);
  UINT format = DT_SINGLELINE | DT_CENTER | DT_VCENTER;
  if (item.itemState & ODS_NOACCEL) format |= DT_HIDEPREFIX;
  ::DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &text, format);

  if (focused && !(item.itemState & ODS_NOFOCUSRECT)) {
    RECT focus = r;
    ::InflateRect(&focus, -3, -3);
    ::SetTextColor(dc, RGB(0, 0, 0));
    ::SetBkColor(dc, RGB(255, 255, 255));
    ::DrawFocusRect(dc, &focus);
  }
}

}  // namespace tavi
