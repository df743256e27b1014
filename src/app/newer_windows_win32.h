// What later Windows versions offer the window (resolutions per monitor, messages from the
// shell into an elevated program), used where the system has it and replaced by the older way
// where it does not, so that the program still starts on Windows XP.
#pragma once

#include <windows.h>

namespace tavi {

// The resolution of the screen, which is every window's before Windows 8.1.
int SystemDpi();

// The window's resolution: the one of its monitor where the system has such (Windows 10 1607
// and later), else the system's.
int WindowDpi(HWND window);

// A system metric (SM_CXSMICON, ...) at that resolution.
int SystemMetricForDpi(int index, int dpi);

// The window rectangle around a client rectangle, its frame at that resolution.
void AdjustWindowRectForDpi(RECT& rect, DWORD style, DWORD extendedStyle, int dpi);

// Lets the system scale the title bar and the frame with the window's monitor, which
// per-monitor awareness of the first kind (Windows 8.1 to 10 1703) leaves at the resolution
// the program started with. Call it in WM_NCCREATE.
void ScaleNonClientArea(HWND window);

// Lets the shell, which runs without elevation, send this message to the (elevated) window:
// the system drops messages from a program of a lower integrity level otherwise (Vista and
// later; earlier systems have no such levels).
void AllowMessageFromShell(HWND window, UINT message);

}  // namespace tavi
