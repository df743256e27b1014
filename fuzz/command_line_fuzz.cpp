// The command line: its split into arguments, what each argument asks for (the quiet switch, a
// number or the name of a place), and the hand-over command line of the update, which the
// program writes and a new copy of itself reads back.
#include <algorithm>
#include <cctype>
#include <string>
#include <string_view>
#include <vector>

#include "app/command_line.h"
#include "fuzz_support.h"
#include "profiles/integer_text.h"
#include "update/update_texts.h"

namespace {

using tavi::CommandLineArguments;
using Strings = std::vector<std::string>;

bool SameAscii(std::string_view a, std::string_view b) {
  return std::ranges::equal(a, b, [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) ==
           std::tolower(static_cast<unsigned char>(y));
  });
}

bool IsSeparator(char c) {
  return static_cast<unsigned char>(c) <= ' ';
}

// A field as an argument can carry it: quotes only group, and a NUL ends the command line.
std::string Carriable(std::string text) {
  std::erase_if(text, [](char c) { return c == '"' || c == '\0'; });
  return text;
}

// The argument written so that it splits back whole, in one of three styles.
std::string Quoted(const std::string& argument, unsigned style) {
  bool plain = !argument.empty();
  for (const char c : argument)
    plain = plain && !IsSeparator(c);
  switch (style % 3) {
    case 0:  // quotes around the whole argument, where they are needed
      return plain ? argument : "\"" + argument + "\"";
    case 1:  // quotes around every separating character, and an empty pair for nothing
    {
      std::string text = argument.empty() ? "\"\"" : "";
      for (const char c : argument)
        text += IsSeparator(c) ? std::string{'"', c, '"'} : std::string{c};
      return text;
    }
    default:  // two quoted halves back to back
      return "\"" + argument.substr(0, argument.size() / 2) + "\"\"" +
             argument.substr(argument.size() / 2) + "\"";
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text = tavi::fuzz::AsText(data, size);

  // Whatever the line, the split only removes characters, and every argument means one thing.
  // The places are the line's first arguments, as many as its first byte says (up to 7).
  const Strings arguments = CommandLineArguments(text);
  const std::size_t placeCount =
      std::min<std::size_t>(tavi::fuzz::ByteAt(text, 0) % 8, arguments.size());
  const Strings places(arguments.begin(), arguments.begin() + static_cast<long>(placeCount));
  std::size_t kept = 0;
  for (const std::string& argument : arguments) {
    kept += argument.size();
    FUZZ_CHECK(argument.find('"') == std::string::npos);
    FUZZ_CHECK(argument.find('\0') == std::string::npos);
    const tavi::ArgumentAction action = tavi::ClassifyArgument(argument, places, SameAscii);
    using Kind = tavi::ArgumentAction::Kind;
    const bool quiet = argument == "/s" || argument == "/S";
    const std::optional<std::int32_t> number = tavi::ParseInt32(argument);
    FUZZ_CHECK((action.kind == Kind::SetQuiet) == quiet);
    if (quiet) continue;
    FUZZ_CHECK(action.byName == (!number && !argument.empty()));
    if (number && *number != -1) {
      const bool inRange = *number >= 0 && *number < static_cast<int>(places.size());
      FUZZ_CHECK(action.kind == (inRange ? Kind::Apply : Kind::NotFound));
      FUZZ_CHECK(action.index == *number);
      FUZZ_CHECK(tavi::PlaceNotFoundText(argument, false).ends_with("\rindex: " + argument));
    } else if (action.byName) {
      // The first place of that name, whatever the places after it are called.
      int first = -1;
      for (std::size_t i = 0; i < places.size() && first < 0; ++i) {
        if (SameAscii(places[i], argument)) first = static_cast<int>(i);
      }
      FUZZ_CHECK(action.kind == (first >= 0 ? Kind::Apply : Kind::NotFound));
      FUZZ_CHECK(action.index == first);
      FUZZ_CHECK(tavi::PlaceNotFoundText(argument, true).ends_with("\rname: " + argument));
    } else {
      FUZZ_CHECK(action.kind == Kind::Ignore);
    }
  }
  FUZZ_CHECK(kept <= text.size());

  // Arguments written with quotes where they hold separators split back as they were, after
  // a program name with a blank in its folder.
  const std::vector<std::string> fields = tavi::fuzz::Fields(text, 1);
  Strings wanted;
  std::string line = "\"C:\\Program Files\\Tavi\\tavi.exe\"";
  for (std::size_t i = 1; i < fields.size(); ++i) {
    wanted.push_back(Carriable(fields[i]));
    line += ' ';
    line += Quoted(wanted.back(), tavi::fuzz::ByteAt(fields[0], i));
  }
  FUZZ_CHECK(CommandLineArguments(line) == wanted);

  // The hand-over names the old process and two paths; the new copy reads all three back.
  if (fields.size() >= 3) {
    const std::uint32_t processId =
        static_cast<std::uint32_t>(tavi::fuzz::ByteAt(fields[0], 0)) * 16777619u +
        static_cast<std::uint32_t>(fields[1].size());
    const std::string installed = Carriable(fields[1]);
    const std::string copy = Carriable(fields[2]);
    const Strings handOver =
        CommandLineArguments("tavi.exe " + tavi::HandOverParameters(processId, installed, copy));
    FUZZ_CHECK(handOver == (Strings{std::to_string(processId), installed, copy}));
    const std::optional<std::uint32_t> parsed = tavi::ParseHandOverProcessId(handOver[0]);
    FUZZ_CHECK(processId == 0 ? !parsed : parsed == processId);
  }
  return 0;
}
