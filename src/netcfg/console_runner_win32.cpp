#include "netcfg/console_runner_win32.h"

#include <windows.h>

#include <algorithm>
#include <memory>
#include <new>
#include <string_view>

#include "netcfg/console_command.h"
#include "win/files_win32.h"
#include "win/handle.h"
#include "win/message_loop_win32.h"
#include "win/text_win32.h"

namespace tavi {
namespace {

constexpr DWORD kCapturePassMilliseconds = 100;
// Enough for a whole ipconfig listing, so a child rarely waits for the next pass to write.
constexpr DWORD kCapturePipeSize = 64 * 1024;

// The folder RunAndWait starts its commands in: the system drive's root, which every machine
// has (unlike a fixed "c:\"); the Windows folder itself when it is on no drive letter.
std::wstring CommandFolder() {
  const std::string folder = WindowsFolder();
  const std::string root = DriveRootOf(folder);
  return Utf8ToWide(root.empty() ? folder : root);
}

// Moves what the pipe holds now into the buffer. Output beyond kCaptureLimit goes through a
// scratch block and is dropped, so the program never stalls on a full pipe. Returns false
// when the pipe fails.
bool DrainPipe(HANDLE pipe, char* buffer, std::size_t& total) {
  DWORD available = 0;
  if (!::PeekNamedPipe(pipe, nullptr, 0, nullptr, &available, nullptr)) return false;
  char scratch[16 * 1024];
  while (available > 0) {
    const std::size_t room = kCaptureLimit - total;
    char* destination = room > 0 ? buffer + total : scratch;
    const std::size_t space = room > 0 ? room : sizeof scratch;
    const DWORD wanted = static_cast<DWORD>(std::min<std::size_t>(available, space));
    DWORD read = 0;
    if (!::ReadFile(pipe, destination, wanted, &read, nullptr) || read == 0) return false;
    if (room > 0) total += read;
    available -= std::min(available, read);
  }
  return true;
}

}  // namespace

std::string GetTempDirectory() {
  std::wstring path(MAX_PATH + 1, L'\0');
  for (;;) {
    const DWORD size = static_cast<DWORD>(path.size());
    const DWORD length = ::GetTempPathW(size, path.data());
    if (length == 0) return {};
    if (length < size) {
      path.resize(length);
      break;
    }
    path.resize(length);  // the size it needs, terminating NUL included
  }
  if (!path.empty() && path.back() == L'\\') path.pop_back();
  return WideToUtf8(path);
}

bool RunAndWait(const std::string& command, std::string& status, bool useCmd) {
  std::wstring commandLine = Utf8ToWide(InterpreterCommandLine(command, useCmd));
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_HIDE;
  const std::wstring folder = CommandFolder();
  PROCESS_INFORMATION started = {};
  if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &startup, &started)) {
    status = kRunStatusLaunchFailed;
    return false;
  }
  const Handle process(started.hProcess);
  const Handle thread(started.hThread);
  ::WaitForSingleObject(process.get(), INFINITE);
  DWORD exitCode = 0;
  if (!::GetExitCodeProcess(process.get(), &exitCode)) {
    status = kRunStatusExitCodeFailed;
    return false;
  }
  if (exitCode == STILL_ACTIVE) {
    status = kRunStatusStillActive;
    return false;
  }
  status = kRunStatusOk;
  return true;
}

void RunAndCapture(const std::string& command, std::string& target) {
  ConsoleCapture capture;
  if (capture.Start(command)) capture.Finish(target);
}

bool ConsoleCapture::Start(const std::string& command, const Options& options) {
  readEnd_.reset();
  writeEnd_.reset();
  process_.reset();
  SECURITY_ATTRIBUTES inheritable = {sizeof inheritable, nullptr, TRUE};
  Handle readEnd;
  Handle writeEnd;
  if (!::CreatePipe(readEnd.put(), writeEnd.put(), &inheritable, kCapturePipeSize)) return false;
  // Only the write end goes to the child: with the read end closed in every process, a child
  // still writing after the capture gets an error instead of waiting for a reader forever.
  ::SetHandleInformation(readEnd.get(), HANDLE_FLAG_INHERIT, 0);

  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW | STARTF_USESTDHANDLES;
  startup.wShowWindow = SW_HIDE;
  startup.hStdOutput = writeEnd.get();
  if (options.withErrors) startup.hStdError = writeEnd.get();
  std::wstring commandLine = Utf8ToWide(command);
  // Started as RunAndWait starts its commands: in the system drive's root, with a hidden
  // console of its own rather than none (which Wine takes some 20 ms longer to give).
  const std::wstring folder = CommandFolder();
  PROCESS_INFORMATION started = {};
  if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &startup, &started)) {
    return false;
  }
  // Kept until Finish, but no other child started meanwhile may inherit it.
  ::SetHandleInformation(writeEnd.get(), HANDLE_FLAG_INHERIT, 0);
  const Handle thread(started.hThread);
  process_.reset(started.hProcess);
  readEnd_ = std::move(readEnd);
  writeEnd_ = std::move(writeEnd);
  return true;
}

bool ConsoleCapture::Finish(std::string& target, int passes) {
  const Handle process = std::move(process_);
  const Handle readEnd = std::move(readEnd_);
  const Handle writeEnd = std::move(writeEnd_);
  if (!process) return false;
  // Allocated once and zero-filled; the byte after the limit stays zero, so even a full
  // capture is a terminated string.
  const std::unique_ptr<char[]> buffer(new (std::nothrow) char[kCaptureLimit + 1]());
  if (!buffer) return false;

  std::size_t total = 0;
  DWORD wait = WAIT_TIMEOUT;
  for (int pass = 1;; ++pass) {
    wait = ::WaitForSingleObject(process.get(), kCapturePassMilliseconds);
    ProcessMessages();
    if (!DrainPipe(readEnd.get(), buffer.get(), total)) break;
    if (wait != WAIT_TIMEOUT || pass >= passes) break;
  }
  target += CodePageToUtf8(std::string_view(buffer.get(), total), CP_OEMCP);
  return wait == WAIT_OBJECT_0;
}

}  // namespace tavi
