// The program's message loops: the main one and the short passes that long waits make
// (console capture, HTTP transfers, progress display) so the window stays responsive.
#pragma once

#include <windows.h>

#include <functional>

namespace tavi {

// Whether the loops run a top-level window's keyboard interface (Tab, arrow keys in radio
// groups, accelerators) through IsDialogMessage. The mark is a property of the window: take
// it off (false) before the window is destroyed.
void SetDialogNavigation(HWND window, bool enabled);

// Runs until WM_QUIT; returns its exit code.
int RunMessageLoop();

// Dispatches every message that is waiting now, then returns. A WM_QUIT met here is
// posted again, so the main loop still sees it and ends. Returns false when it met one.
bool ProcessMessages();

// Dispatches messages for that long, sleeping while there is nothing to do. Returns false, with
// WM_QUIT posted again, when the program was asked to quit first.
bool DispatchMessagesFor(DWORD milliseconds);

// Dispatches messages until the object is signalled, or `done` (asked after each pass) says so,
// sleeping while there is nothing to do. Returns false, with WM_QUIT posted again, when the
// program was asked to quit first.
bool DispatchMessagesUntilSignaled(HANDLE object, const std::function<bool()>& done = nullptr);

}  // namespace tavi
