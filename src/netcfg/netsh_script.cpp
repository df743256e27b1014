#include "netcfg/netsh_script.h"

#include <string_view>

namespace tavi {

std::vector<std::string> BuildNetshScript(const ApplyValues& values) {
  const std::string name = "\"" + values.NIC + "\"";
  std::vector<std::string> lines = {"pushd interface", "reset all", "popd", "pushd interface ip"};
  if (values.UseDhcp) {
    lines.push_back("set address name=" + name + " source=dhcp ");
  } else {
    lines.push_back("set address name = " + name + " source = static addr = " + values.IP +
                    " mask = " + values.SubNetMask);
    lines.push_back("set address name = " + name + " gateway = " + values.GateWay +
                    " gwmetric = 1");
  }
  if (values.AutoDns) {
    lines.push_back("set dns name = " + name + " source = dhcp");
    lines.push_back("set wins name = " + name + " source = dhcp");
  } else {
    lines.push_back("set dns name = " + name + " source=static addr=" + values.FirstDNS +
                    " register=PRIMARY");
    if (!values.SecondDNS.empty())
      lines.push_back("add dns name = " + name + " addr=" + values.SecondDNS);
  }
  if (values.UseDhcp) {
    lines.push_back("set wins name = " + name + " source=dhcp");
  } else {
    lines.push_back("set wins name = " + name + " source = static addr = none");
  }
  lines.push_back("popd");
  return lines;
}

std::string NetshScriptText(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) {
    text += line;
    text += "\r\n";
  }
  return text;
}

std::vector<std::string> NetshCommandLines(const std::vector<std::string>& lines) {
  constexpr std::string_view kPushd = "pushd ";
  std::vector<std::string> contexts;
  std::vector<std::string> commands;
  for (const std::string& line : lines) {
    if (line.starts_with(kPushd)) {
      contexts.push_back(line.substr(kPushd.size()));
    } else if (line == "popd") {
      if (!contexts.empty()) contexts.pop_back();
    } else {
      std::string command = "netsh";
      for (const std::string& context : contexts)
        command += " " + context;
      commands.push_back(command + " " + line);
    }
  }
  return commands;
}

}  // namespace tavi
