// Running the apply's netsh script and keeping what netsh said.
#pragma once

#include <string>
#include <vector>

namespace tavi {

struct NetshRun {
  bool started = false;  // every netsh command could be started
  bool ended = false;    // and each ended within kNetshLimit
  std::string output;    // standard output and error, converted from the OEM code page
};

// Writes the script to scriptPath in the system's ANSI code page, runs "netsh -f" on it
// through "cmd.exe /c " and deletes the file afterwards. A script that the ANSI code page
// cannot hold (a connection name outside it, which the file would turn into "?") goes instead
// as one netsh command line per command (NetshCommandLines), through the same interpreter:
// command lines are UTF-16 from end to end, so the name arrives as typed. Waits for netsh,
// processing window messages, at most kNetshLimit for all runs together. Throws when the
// script file cannot be written; then nothing runs.
NetshRun RunNetshScript(const std::vector<std::string>& lines, const std::string& scriptPath);

}  // namespace tavi
