// The main window's own kinds of control: containers (panels and group boxes that can hold
// controls), labels, and push buttons drawn in the Windows XP style.
#pragma once

#include <windows.h>

namespace tavi {

inline constexpr wchar_t kContainerClass[] = L"TaviContainer";
inline constexpr wchar_t kLabelClass[] = L"TaviLabel";
inline constexpr wchar_t kXpButtonClass[] = L"TaviButton";

// Registers the three classes for the module; later calls do nothing.
void RegisterCustomControls(HINSTANCE instance);

// Container styles (the low word of a window style belongs to its class).
// A container forwards its children's notifications (WM_COMMAND, WM_NOTIFY, WM_CTLCOLOR*,
// WM_DRAWITEM) to the top-level window and paints the button-face colour; create it with
// WS_EX_CONTROLPARENT so that the Tab key walks into it.
inline constexpr DWORD kContainerGroupBox = 0x0001;  // an etched frame and the caption

// Label styles. A label paints its text (greyed when disabled), answers WM_GETDLGCODE with
// nothing, so its accelerator never moves the focus, and reports a click as STN_CLICKED.
inline constexpr DWORD kLabelWordWrap = 0x0001;
inline constexpr DWORD kLabelLink = 0x0002;  // hand cursor
// wParam: the COLORREF of the text; CLR_INVALID for the system's window-text colour.
inline constexpr UINT kLabelSetTextColor = WM_APP + 0x100;

// XP buttons are owner-drawn BUTTONs with a hand cursor that track the mouse for their hot
// look. Their parent receives WM_DRAWITEM and passes it to DrawXpButton. Enter clicks the
// focused button, as Space does.
bool IsXpButton(HWND window);
void DrawXpButton(const DRAWITEMSTRUCT& item);

}  // namespace tavi
