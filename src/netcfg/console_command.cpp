#include "netcfg/console_command.h"

namespace tavi {

std::string InterpreterCommandLine(std::string_view command, bool useCmd) {
  std::string line = useCmd ? "cmd.exe /c " : "command.exe /c ";
  line += command;
  return line;
}

std::string DriveRootOf(std::string_view path) {
  if (path.size() < 2 || path[1] != ':') return {};
  const char letter = path[0];
  if (!((letter >= 'A' && letter <= 'Z') || (letter >= 'a' && letter <= 'z'))) return {};
  return std::string(path.substr(0, 2)) + "\\";
}

}  // namespace tavi
