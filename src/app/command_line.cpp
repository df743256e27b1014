#include "app/command_line.h"

#include "profiles/integer_text.h"

namespace tavi {
namespace {

bool IsSeparator(char c) {
  return static_cast<unsigned char>(c) <= ' ';
}

}  // namespace

std::vector<std::string> CommandLineArguments(std::string_view commandLine) {
  std::vector<std::string> arguments;
  size_t i = 0;
  bool programName = true;
  for (;;) {
    while (i < commandLine.size() && IsSeparator(commandLine[i]) && commandLine[i] != '\0')
      ++i;
    if (i == commandLine.size() || commandLine[i] == '\0') break;
    std::string argument;
    bool quoted = false;
    for (; i < commandLine.size() && commandLine[i] != '\0'; ++i) {
      const char c = commandLine[i];
      if (c == '"') {
        quoted = !quoted;
      } else if (IsSeparator(c) && !quoted) {
        break;
      } else {
        argument += c;
      }
    }
    if (!programName) arguments.push_back(std::move(argument));
    programName = false;
  }
  return arguments;
}

bool IsQuietSwitch(std::string_view argument) {
  return argument.size() == 2 && argument[0] == '/' && (argument[1] == 's' || argument[1] == 'S');
}

ArgumentAction ClassifyArgument(std::string_view argument, std::span<const std::string> places,
                                const SamePlaceName& sameName) {
  using Kind = ArgumentAction::Kind;
  if (IsQuietSwitch(argument)) return {Kind::SetQuiet};
  if (const std::optional<std::int32_t> number = ParseInt32(argument)) {
    const int index = *number;
    if (index == -1) return {Kind::Ignore};
    if (index < 0 || index >= static_cast<int>(places.size())) return {Kind::NotFound, index};
    return {Kind::Apply, index};
  }
  // No place has an empty name; an empty argument (an unset variable in a script) names none.
  if (argument.empty()) return {Kind::Ignore};
  for (int i = 0; i < static_cast<int>(places.size()); ++i) {
    if (sameName(places[static_cast<size_t>(i)], argument)) return {Kind::Apply, i, true};
  }
  return {Kind::NotFound, -1, true};
}

std::string PlaceNotFoundText(std::string_view argument, bool byName) {
  return std::string("사용 환경을 찾을 수 없습니다.\r\r") + (byName ? "name: " : "index: ") +
         std::string(argument);
}

void RunExitCode::Record(ApplyOutcome outcome) {
  switch (outcome) {
    case ApplyOutcome::Applied:
      return;
    case ApplyOutcome::Failed:
      return Keep(1);
    case ApplyOutcome::Refused:
      return Keep(2);
  }
}

void RunExitCode::RecordPlaceNotFound() {
  Keep(3);
}

void RunExitCode::Keep(int code) {
  if (code_ == 0) code_ = code;
}

}  // namespace tavi
