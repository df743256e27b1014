// The command line "tavi [/s] [index]": how it splits into arguments and what each means.
#pragma once

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
    Apply,     // a valid place index
    NotFound,  // an integer that names no place
    Ignore,    // anything else, "-1" and what reads as -1 included
  };
  Kind kind = Kind::Ignore;
  int index = -1;  // for Apply
};

// What one argument asks for, with placeCount places in the list. Integers are read as the
// profile file reads them (decimal in 32 bits, or a 32-bit hexadecimal pattern after "$",
// "x" or "0x"); -1 stands for "not a number" and is ignored like one.
ArgumentAction ClassifyArgument(std::string_view argument, int placeCount);

// The information box for an index that names no place: the argument as typed.
std::string PlaceNotFoundText(std::string_view argument);

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
