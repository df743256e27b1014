#include "netcfg/netsh_runner_win32.h"

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <stdexcept>

#include "netcfg/apply_profile.h"
#include "netcfg/console_command.h"
#include "netcfg/console_runner_win32.h"
#include "win/files_win32.h"
#include "win/text_win32.h"

namespace tavi {
namespace {

using Clock = std::chrono::steady_clock;

// Runs one command through the interpreter and adds its output to the run; false when it
// could not be started or did not end before the deadline.
bool RunCaptured(const std::string& command, Clock::time_point deadline, NetshRun& run) {
  ConsoleCapture capture;
  if (!capture.Start(InterpreterCommandLine(command, true), {.withErrors = true})) {
    run.started = false;
    return false;
  }
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
  const int passes =
      static_cast<int>(std::max<std::chrono::milliseconds::rep>(left.count() / 100, 1));
  if (!capture.Finish(run.output, passes)) {
    run.ended = false;
    return false;
  }
  return true;
}

}  // namespace

NetshRun RunNetshScript(const std::vector<std::string>& lines, const std::string& scriptPath) {
  NetshRun run;
  run.started = run.ended = true;
  const Clock::time_point deadline = Clock::now() + kNetshLimit;
  const std::string text = NetshScriptText(lines);
  if (FitsCodePage(text, CP_ACP)) {
    if (!WriteWholeFile(scriptPath, Utf8ToCodePage(text, CP_ACP))) {
      throw std::runtime_error("Unable to write to " + scriptPath);
    }
    RunCaptured(NetshCommand(scriptPath), deadline, run);
    ::DeleteFileW(Utf8ToWide(scriptPath).c_str());
    return run;
  }
  for (const std::string& command : NetshCommandLines(lines)) {
    if (!RunCaptured(command, deadline, run)) break;
  }
  return run;
}

}  // namespace tavi
