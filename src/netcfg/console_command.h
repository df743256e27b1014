// The decisions of the console runner that need no operating system: the command line it
// starts, the folder it starts in, and the status texts it reports.
#pragma once

#include <string>
#include <string_view>

namespace tavi {

// The status texts of RunAndWait; callers compare against them.
inline constexpr std::string_view kRunStatusOk = "OK";
inline constexpr std::string_view kRunStatusLaunchFailed = "ERROR: Cannot launch child process";
inline constexpr std::string_view kRunStatusStillActive = "Process is still active";
inline constexpr std::string_view kRunStatusExitCodeFailed = "GetExitCodeProcess() failed";

// The interpreter prefix ("cmd.exe /c ", or "command.exe /c " without cmd) followed by the
// command as it stands: nothing is quoted or escaped.
std::string InterpreterCommandLine(std::string_view command, bool useCmd);

// The root ("C:\") of the drive a path lies on; empty when the path does not start with a
// drive letter and a colon (a UNC path, for example).
std::string DriveRootOf(std::string_view path);

}  // namespace tavi
