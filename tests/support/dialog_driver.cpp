#include "dialog_driver.h"

#include <gtest/gtest.h>

#include <vector>

#include "win/text_win32.h"
#include "win_test_support.h"

namespace tavi::test {

ChildProcess::ChildProcess(const std::string& commandLine) {
  std::wstring line = Utf8ToWide(commandLine);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  // Wine, with both cores busy, now and then fails a start with ERROR_INTERNAL_ERROR when the
  // new process is slow to come up; a second start succeeds.
  for (int attempt = 1;; ++attempt) {
    if (::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                         &startup, &info)) {
      break;
    }
    const DWORD error = ::GetLastError();
    if (error != ERROR_INTERNAL_ERROR || attempt == 3) {
      ADD_FAILURE() << "cannot start " << commandLine << " (error " << error << ")";
      return;
    }
    ::Sleep(500);
  }
  Handle thread(info.hThread);
  process_.reset(info.hProcess);
  id_ = info.dwProcessId;
}

ChildProcess::~ChildProcess() {
  if (process_ && ::WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT) {
    ::TerminateProcess(process_.get(), 1);
    ::WaitForSingleObject(process_.get(), 5000);
  }
}

std::optional<DWORD> ChildProcess::WaitForExit(std::chrono::milliseconds deadline) {
  if (!process_) return std::nullopt;
  if (::WaitForSingleObject(process_.get(), static_cast<DWORD>(deadline.count())) !=
      WAIT_OBJECT_0) {
    return std::nullopt;
  }
  DWORD code = 0;
  if (!::GetExitCodeProcess(process_.get(), &code)) return std::nullopt;
  return code;
}

namespace {

HWND FindProcessWindow(DWORD processId, const wchar_t* className) {
  for (HWND window = nullptr; (window = ::FindWindowExW(nullptr, window, className, nullptr));) {
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (owner == processId && ::IsWindowVisible(window)) return window;
  }
  return nullptr;
}

}  // namespace

HWND WaitForProcessWindow(DWORD processId, const wchar_t* className,
                          std::chrono::milliseconds deadline) {
  HWND found = nullptr;
  WaitUntil([&] { return (found = FindProcessWindow(processId, className)) != nullptr; }, deadline);
  return found;
}

std::string WindowText(HWND window) {
  DWORD_PTR length = 0;
  if (!::SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length)) {
    return {};
  }
  std::vector<wchar_t> text(length + 1, L'\0');
  DWORD_PTR copied = 0;
  ::SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                        SMTO_ABORTIFHUNG, 5000, &copied);
  return WideToUtf8(std::wstring_view(text.data(), copied));
}

std::optional<MessageBoxView> FindMessageBox(DWORD processId) {
  const HWND box = FindProcessWindow(processId, L"#32770");
  if (!box) return std::nullopt;
  // 0xFFFF is the id of a message box's text.
  return MessageBoxView{box, WindowText(box), WindowText(::GetDlgItem(box, 0xFFFF))};
}

std::optional<MessageBoxView> WaitForMessageBox(DWORD processId,
                                                std::chrono::milliseconds deadline) {
  std::optional<MessageBoxView> view;
  WaitUntil([&] { return (view = FindMessageBox(processId)).has_value(); }, deadline);
  return view;
}

void PressButton(HWND box, int id) {
  ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(::GetDlgItem(box, id)));
}

std::vector<std::string> Items(HWND list) {
  std::vector<std::string> items;
  for (LRESULT i = 0; i < ::SendMessageW(list, LB_GETCOUNT, 0, 0); ++i) {
    std::wstring text(static_cast<size_t>(::SendMessageW(list, LB_GETTEXTLEN, i, 0)) + 1, L'\0');
    text.resize(static_cast<size_t>(
        ::SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text.data()))));
    items.push_back(WideToUtf8(text));
  }
  return items;
}

}  // namespace tavi::test
