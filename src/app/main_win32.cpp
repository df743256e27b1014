// Tavi's entry point: the main window and its message loop.
#include <windows.h>

#include <exception>

#include "app/main_window_win32.h"
#include "win/message_loop_win32.h"
#include "win/user_prompts_win32.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showCommand) {
  tavi::MessageBoxPrompts prompts;
  try {
    tavi::TfrmMainOptions options = tavi::TfrmMainOptions::ForProcess();
    options.prompts = &prompts;
    tavi::TfrmMain frmMain(std::move(options));
    frmMain.Show(showCommand);
    return tavi::RunMessageLoop();
  } catch (const std::exception& error) {
    prompts.Show(nullptr, error.what(), "Tavi", MB_OK | MB_ICONERROR);
    return 1;
  }
}
