// The command line "tavi [/s] [index | name]": how it splits into arguments and what each
// means.
#pragma once

#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "netcfg/apply_profile.h"

namespace tavi {

// The arguments of a whole command line, the program's name (the first one) left out.
// Every character up to the space (blanks, tabs, control characters) separates arguments;
// double quotes group such characters into an argument and are removed. A backslash is an
// ordinary character, so "C:\folder\" stays a path.
std::vector<std::string> CommandLineArguments(std::string_view commandLine);

struct ArgumentAction {
  enum class Kind {
    SetQuiet,  // "/s" in any letter case: no completion box from here on
    Apply,     // a valid place index, or the name of a place
    NotFound,  // an index or a name that names no place
    Ignore,    // a number that reads as -1, and an empty argument
  };
  Kind kind = Kind::Ignore;
  int index = -1;       // for Apply: the place's position in the list
  bool byName = false;  // the argument is a name, not a number
};

// "/s" in any letter case: the switch that asks for no boxes.
bool IsQuietSwitch(std::string_view argument);

// Whether two place names stand for the same place (the comparison Save uses for names).
using SamePlaceName = std::function<bool(std::string_view a, std::string_view b)>;

// What one argument asks for, with these places in the list, in list order. An argument that
// reads whole as an integer is a number, as the profile file reads them (decimal in 32 bits,
// or a 32-bit hexadecimal pattern after "$", "x" or "0x"): a position in the list; -1 stands
// for "not a number" in the older rule and is still ignored. Any other argument but "/s" and
// the empty one names a place: the first place in list order whose name is the same.
ArgumentAction ClassifyArgument(std::string_view argument, std::span<const std::string> places,
                                const SamePlaceName& sameName);

// The information box for an argument that names no place: the argument as typed, after
// "index: " or "name: ".
std::string PlaceNotFoundText(std::string_view argument, bool byName);

// The exit code of a run, so that scripts, shortcuts and scheduled tasks can tell how the
// places asked for on the command line went: 0 when every one was read back as asked (and for
// a run that applied nothing); 1 when an apply failed; 2 when one was refused by a check or
// ended by an error; 3 when an index names no place. The first that did not end as asked
// decides.
class RunExitCode {
 public:
  void Record(ApplyOutcome outcome);
  void RecordPlaceNotFound();
  int Code() const { return code_; }

 private:
  void Keep(int code);
  int code_ = 0;
};

}  // namespace tavi
