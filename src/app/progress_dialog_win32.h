// The progress of a running update: a small tool window centred on the screen and owned by
// no other window, with a text line and a smooth bar from 0 to 100. It offers no cancel and
// ignores requests to close; its owner destroys it.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "win/handle.h"

namespace tavi {

class TProgressDialog {
 public:
  // Created hidden, with an empty caption and text and the bar at 0.
  TProgressDialog();
  ~TProgressDialog();
  TProgressDialog(const TProgressDialog&) = delete;
  TProgressDialog& operator=(const TProgressDialog&) = delete;

  // Shows it without making it modal; the window that was active stays active.
  void Show();

  // Each changes the window only when the shown value changes, so that a progress report
  // per received block costs next to nothing, and tells whether it changed.
  bool SetCaption(std::string_view caption);
  bool SetText(std::string_view text);
  bool SetPosition(int percent);  // kept within 0..100, as the bar shows it

  const std::string& Caption() const { return caption_; }
  const std::string& Text() const { return text_; }
  int Position() const { return position_; }

  HWND Handle() const { return window_.get(); }
  HWND TextLine() const { return textLine_; }
  HWND Bar() const { return bar_; }

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  Window window_;
  Font font_;
  HWND textLine_ = nullptr;  // children: destroyed with the window
  HWND bar_ = nullptr;
  std::string caption_;
  std::string text_;
  int position_ = 0;
};

}  // namespace tavi
