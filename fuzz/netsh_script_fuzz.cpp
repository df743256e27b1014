// The netsh script of an apply. For every set of values that the apply accepts, the script
// is the fixed frame of known commands, each of its lines stays one line, every line that
// names a connection names the chosen one (and nothing else in quotes), the script file's
// text splits back into the lines, and the command lines for netsh without the file are
// those lines in their context.
//   input: see apply_values_input.h
#include <string>
#include <vector>

#include "apply_values_input.h"
#include "fuzz_support.h"
#include "netcfg/apply_profile.h"
#include "netcfg/netsh_script.h"

namespace {

using Lines = std::vector<std::string>;

Lines SplitLines(std::string_view text) {
  Lines lines;
  for (std::size_t end; (end = text.find("\r\n")) != std::string_view::npos;) {
    lines.emplace_back(text.substr(0, end));
    text.remove_prefix(end + 2);
  }
  FUZZ_CHECK(text.empty());  // the last line has its CR LF too
  return lines;
}

// The commands a script may hold; the values follow them on the same line.
bool KnownCommand(const std::string& line) {
  for (const char* exact : {"pushd interface", "reset all", "popd", "pushd interface ip"})
    if (line == exact) return true;
  for (const char* start :
       {"set address name", "set dns name = ", "add dns name = ", "set wins name = "})
    if (line.starts_with(start)) return true;
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const tavi::ApplyValues values =
      tavi::fuzz::ApplyValuesFrom(tavi::fuzz::Fields(tavi::fuzz::AsText(data, size), 8));
  if (tavi::CheckApplyValues(values) != tavi::ApplyRefusal::None) return 0;

  const Lines lines = tavi::BuildNetshScript(values);
  FUZZ_CHECK(SplitLines(tavi::NetshScriptText(lines)) == lines);
  FUZZ_CHECK(lines.size() >= 8);
  FUZZ_CHECK((Lines(lines.begin(), lines.begin() + 4) ==
              Lines{"pushd interface", "reset all", "popd", "pushd interface ip"}));
  FUZZ_CHECK(lines.back() == "popd");
  const std::string quoted = "\"" + values.NIC + "\"";
  for (std::size_t i = 4; i + 1 < lines.size(); ++i) {
    const std::string& line = lines[i];
    FUZZ_CHECK(KnownCommand(line));
    FUZZ_CHECK(line.find('\0') == std::string::npos);
    // The connection is the only quoted text: nothing of a value escapes into the command.
    const std::size_t open = line.find('"');
    FUZZ_CHECK(open != std::string::npos && line.compare(open, quoted.size(), quoted) == 0);
    FUZZ_CHECK(line.find('"', open + quoted.size()) == std::string::npos);
  }
  // The same commands as command lines of their own, each in its context, nothing else.
  const Lines commands = tavi::NetshCommandLines(lines);
  FUZZ_CHECK(commands.size() + 4 == lines.size());
  FUZZ_CHECK(commands[0] == "netsh interface reset all");
  for (std::size_t i = 1; i < commands.size(); ++i)
    FUZZ_CHECK(commands[i] == "netsh interface ip " + lines[i + 3]);
  // DHCP takes the address from the server: no static address line then.
  if (values.UseDhcp) {
    for (const std::string& line : lines)
      FUZZ_CHECK(!line.starts_with("set address name = "));
  }
  return 0;
}
