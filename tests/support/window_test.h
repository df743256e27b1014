// The real main window in this process, for the window suites: opened on a profile file of
// the test's own, with every message box answered by a script instead of a person.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>
#include <string_view>
#include <utility>

#include "app/main_window_win32.h"
#include "scripted_prompts.h"
#include "win/message_loop_win32.h"
#include "win/text_win32.h"
#include "win_test_support.h"

namespace tavi::test {

class WindowTest : public ::testing::Test {
 protected:
  // The profile file's text, in the Korean ANSI code page on disk.
  void WriteIni(std::string_view text) { WriteFileBytes(ini_, Utf8ToCodePage(text, 949)); }
  std::string Ini() const { return CodePageToUtf8(ReadFileBytes(ini_), 949); }

  // A window on the test's file and prompts, its updater's program folder the test's own.
  TfrmMainOptions Options() {
    TfrmMainOptions options;
    options.iniPath = ini_;
    options.prompts = &prompts_;
    options.updater.executablePath = dir_.File("tavi.exe");
    return options;
  }
  // (Re)opens the window; shown, it has run its first activation.
  TfrmMain& Open(TfrmMainOptions options, bool show = true) {
    frm_.reset();
    frm_ = std::make_unique<TfrmMain>(std::move(options));
    if (show) frm_->Show(SW_SHOW);
    ProcessMessages();
    return *frm_;
  }
  static void Click(HWND button) { ::SendMessageW(button, BM_CLICK, 0, 0); }
  void Click(ControlId button) { Click(frm_->Control(button)); }

  // The one message box since the last check, checked and forgotten; returned for its owner.
  ScriptedPrompts::Prompt ExpectBox(std::string_view text, std::string_view caption, UINT flags) {
    EXPECT_EQ(prompts_.shown.size(), 1u);
    const ScriptedPrompts::Prompt box =
        prompts_.shown.empty() ? ScriptedPrompts::Prompt{} : prompts_.shown.front();
    EXPECT_EQ(box.text, text);
    EXPECT_EQ(box.caption, caption);
    EXPECT_EQ(box.flags, flags);
    prompts_.shown.clear();
    return box;
  }

  TempDir dir_;
  std::string ini_ = dir_.File("tavi.ini");
  ScriptedPrompts prompts_;
  std::unique_ptr<TfrmMain> frm_;
};

}  // namespace tavi::test
