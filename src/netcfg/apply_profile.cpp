#include "netcfg/apply_profile.h"

#include <algorithm>
#include <cstddef>

namespace tavi {
namespace {

bool IsBlankOrControl(char c) {
  return static_cast<unsigned char>(c) <= ' ';
}

bool SameIgnoringAsciiCase(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return lower(x) == lower(y);
  });
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

std::string ApplySuccessText(std::string_view placeName) {
  std::string text = "[";
  text += placeName;
  text += "](으)로 네트워크 연결을 설정하였습니다.";
  return text;
}

std::string SettleStatusText(bool dhcp, std::chrono::milliseconds left) {
  const auto seconds = std::chrono::ceil<std::chrono::seconds>(left).count();
  return std::string(dhcp ? "DHCP 주소 기다리는 중... " : "설정 확인 중... ") +
         std::to_string(std::max<long long>(seconds, 0)) + "초";
}

std::vector<std::string> NetshMessageLines(std::string_view output) {
  constexpr std::size_t kMostLines = 12;
  std::vector<std::string> lines;
  while (!output.empty() && lines.size() < kMostLines) {
    const std::size_t end = output.find_first_of("\r\n");
    std::string_view line = output.substr(0, end);
    output.remove_prefix(end == std::string_view::npos ? output.size() : end + 1);
    while (!line.empty() && static_cast<unsigned char>(line.front()) <= ' ')
      line.remove_prefix(1);
    while (!line.empty() && static_cast<unsigned char>(line.back()) <= ' ')
      line.remove_suffix(1);
    if (line.empty() || SameIgnoringAsciiCase(line, "Ok.") || line == "확인.") continue;
    if (std::find(lines.begin(), lines.end(), line) == lines.end()) lines.emplace_back(line);
  }
  return lines;
}

std::string ApplyFailureText(std::string_view connection, LiveConnection::Status status,
                             const ReadBack& readBack, std::string_view commandProblem,
                             const std::vector<std::string>& netshLines) {
  const std::string quoted = "\"" + std::string(connection) + "\"";
  std::string text = std::string(kApplyFailedText) + "\r\r";
  if (!commandProblem.empty()) text += std::string(commandProblem) + "\r";
  const bool found = status == LiveConnection::Status::Found;
  if (status == LiveConnection::Status::NotFound) {
    text += "연결 " + quoted + "을(를) 찾을 수 없습니다.\r";
  } else if (!found) {
    text += "연결 " + quoted + "의 현재 설정을 읽을 수 없습니다.\r";
  } else if (!readBack.matches) {
    text += "연결 " + quoted + "의 설정이 요청한 값과 다릅니다.\r";
  }
  text += '\r';
  for (const ReadBackItem& item : readBack.items) {
    text += item.label + ": 요청 " + item.asked;
    if (found) text += ", 현재 " + item.found + (item.same ? "" : " (다름)");
    text += '\r';
  }
  if (!netshLines.empty()) {
    text += "\rnetsh의 메시지:\r";
    for (const std::string& line : netshLines)
      text += line + '\r';
  }
  text.pop_back();  // no line break after the last line
  return text;
}

}  // namespace tavi
