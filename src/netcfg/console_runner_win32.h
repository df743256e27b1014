// Console commands run from the user-interface thread, their windows never shown: one run
// that waits for the command's end, one capture of a console program's output.
#pragma once

#include <cstddef>
#include <string>

#include "win/handle.h"

namespace tavi {

// Output a capture keeps; what a program writes beyond it is read and dropped.
inline constexpr std::size_t kCaptureLimit = 1048576;

// The user's temporary folder without its final backslash; empty when the system cannot say.
std::string GetTempDirectory();

// Runs "cmd.exe /c " + command ("command.exe /c " when useCmd is false) in a hidden console
// whose current folder is the root of the system drive, and waits for its end without limit
// and without processing window messages. status becomes one of the kRunStatus texts of
// console_command.h; the result is true exactly when it is "OK" (any exit code but 259).
bool RunAndWait(const std::string& command, std::string& status, bool useCmd);

// Runs command as it stands (no interpreter) with its standard output in a pipe, and appends
// that output, converted from the OEM code page to UTF-8, to target. Waits at most 151 passes
// of 100 ms for the program's end (about 15 s), processing pending window messages in each;
// a program still running then is left running. Standard error is not captured. When the
// program cannot be started, target is unchanged.
void RunAndCapture(const std::string& command, std::string& target);

// The passes of 100 ms that RunAndCapture waits for its program.
inline constexpr int kCapturePasses = 151;

// RunAndCapture in two halves, so that a program can run while the caller does other work:
// Start launches it with its output in a pipe, Finish collects that output under the rules of
// RunAndCapture (its passes count from Finish) and appends it to target. A capture that was
// never started, or whose program could not be started, appends nothing. Dropping a started
// capture unfinished closes the pipe, and the program's further output fails.
class ConsoleCapture {
 public:
  ConsoleCapture() = default;
  ConsoleCapture(ConsoleCapture&&) = default;
  ConsoleCapture& operator=(ConsoleCapture&&) = default;

  struct Options {
    bool withErrors = false;  // standard error into the same pipe, in order with the output
  };
  bool Start(const std::string& command) { return Start(command, Options()); }
  bool Start(const std::string& command, const Options& options);
  // Waits for at most the given passes; true when the program was seen to end.
  bool Finish(std::string& target, int passes = kCapturePasses);

 private:
  Handle readEnd_;
  Handle writeEnd_;
  Handle process_;
};

}  // namespace tavi
