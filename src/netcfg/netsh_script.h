// What an apply reads from the editing controls, and the netsh script made of it.
#pragma once

#include <string>
#include <vector>

namespace tavi {

// The editing controls at the moment of an apply; nothing is trimmed or checked for form.
struct ApplyValues {
  std::string NIC;            // cmbNIC's text: the connection name of every script line
  bool UseDhcp = false;       // rdoDHCP selected: the address and WINS lines
  bool StaticChosen = false;  // rdoIP selected: only whether the address is checked
  std::string IP;
  std::string SubNetMask;
  std::string GateWay;
  bool AutoDns = false;  // rdoAutoDNS selected: the DNS lines
  std::string FirstDNS;
  std::string SecondDNS;  // an "add dns" line unless it is the empty string
  std::string Place;      // edtPlace: named in the success text
};

// The lines of the script for "netsh -f", without line ends. netsh reads each line by its
// own rules, and every line keeps the exact spacing it has always had.
std::vector<std::string> BuildNetshScript(const ApplyValues& values);

// The script file's text: every line, the last one included, followed by CR LF.
std::string NetshScriptText(const std::vector<std::string>& lines);

// The script as one netsh command line per command, for a script the ANSI file cannot hold:
// "pushd" and "popd" become the context named before each command ("pushd interface ip" then
// "set ..." gives "netsh interface ip set ...").
std::vector<std::string> NetshCommandLines(const std::vector<std::string>& lines);

}  // namespace tavi
