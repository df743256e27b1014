#include "netcfg/netsh_script.h"

namespace tavi {

std::vector<std::string> BuildNetshScript(const ApplyValues& values) {
  const std::string name = "\"" + values.Connection + "\"";
  std::vector<std::string> lines = {"pushd interface", "reset all", "popd", "pushd interface ip"};
  if (values.UseDhcp) {
    lines.push_back("set address name=" + name + " source=dhcp ");
  } else {
    lines.push_back("set address name = " + name + " source = static addr = " + values.IP +
                    " mask = " + values.Mask);
    lines.push_back("set address name = " + name + " gateway = " + values.Gateway +
                    " gwmetric = 1");
  }
  if (values.AutoDns) {
    lines.push_back("set dns name = " + name + " source = dhcp");
    lines.push_back("set wins name = " + name + " source = dhcp");
  } else {
    lines.push_back("set dns name = " + name + " source=static addr=" + values.Dns1 +
                    " register=PRIMARY");
    if (!values.Dns2.empty()) lines.push_back("add dns name = " + name + " addr=" + values.Dns2);
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

}  // namespace tavi
