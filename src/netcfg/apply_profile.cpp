#include "netcfg/apply_profile.h"

#include <algorithm>

namespace tavi {
namespace {

bool IsBlankOrControl(char c) {
  return static_cast<unsigned char>(c) <= ' ';
}

bool IsUnsafe(std::string_view text) {
  return std::any_of(text.begin(), text.end(),
                     [](char c) { return c == '"' || static_cast<unsigned char>(c) < ' '; });
}

}  // namespace

ApplyRefusal CheckApplyValues(const ApplyValues& values) {
  const std::string_view connection = values.NIC;
  size_t first = 0;
  while (first < connection.size() && IsBlankOrControl(connection[first]))
    ++first;
  if (first == connection.size()) return ApplyRefusal::NoConnection;
  for (const std::string* text : {&values.NIC, &values.IP, &values.SubNetMask, &values.GateWay,
                                  &values.FirstDNS, &values.SecondDNS}) {
    if (IsUnsafe(*text)) return ApplyRefusal::UnsafeText;
  }
  if (values.StaticChosen && (values.IP.empty() || values.SubNetMask.empty())) {
    return ApplyRefusal::NoAddress;
  }
  return ApplyRefusal::None;
}

bool UsesRegistryPath(std::string_view systemRoot) {
  return systemRoot.find("386") != std::string_view::npos;
}

std::string NetshScriptPath(std::string_view tempDirectory) {
  return std::string(tempDirectory) + "\\nic.dat";
}

std::string NetshCommand(std::string_view scriptPath) {
  std::string command = "netsh -f \"";
  command += scriptPath;
  command += '"';
  return command;
}

std::string ApplyResultText(bool changed, std::string_view placeName) {
  if (!changed) return kApplyFailedText;
  std::string text = "[";
  text += placeName;
  text += "](으)로 네트워크 연결을 설정하였습니다.";
  return text;
}

}  // namespace tavi
