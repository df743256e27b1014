// The decisions of applying a profile that need no operating system: what stops an apply,
// which way it goes, the command it runs and the texts it shows.
#pragma once

#include <chrono>
#include <string>
#include <string_view>
#include <vector>

#include "netcfg/netsh_script.h"
#include "netcfg/read_back.h"

namespace tavi {

inline constexpr char kSelectConnectionText[] = "네트워크 연결을 선택해 주십시오.";
inline constexpr char kNeedAddressText[] =
    "어댑터에는 적어도 IP 주소가 하나 필요합니다. IP 주소를 입력하십시오.";
inline constexpr char kUnsafeTextText[] =
    "연결 이름과 주소에는 큰따옴표(\")나 줄 바꿈 같은 제어 문자를 쓸 수 없습니다.";
inline constexpr char kApplyingText[] = "설정 변경 중...";
inline constexpr char kAppliedText[] = "완료";
inline constexpr char kApplyDoneCaption[] = "설정 완료";
inline constexpr char kApplyFailedText[] = "변경 실패";
// What kept an apply's commands from running, for the failure box.
inline constexpr char kNetshNotStartedText[] = "netsh를 실행하지 못했습니다.";
inline constexpr char kNetshNotEndedText[] = "netsh가 2분 안에 끝나지 않았습니다.";
inline constexpr char kRegistryNotWrittenText[] = "레지스트리에 설정을 모두 쓰지는 못했습니다.";
inline constexpr char kDhcpNotStartedText[] = "DHCP 클라이언트 서비스를 다시 시작하지 못했습니다.";

// The system-root value under HKEY_LOCAL_MACHINE; one system family names its folder with
// "386", and there the values go into the registry instead of through netsh.
inline constexpr char kSystemRootValuePath[] =
    "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\SystemRoot";

// How an apply ended, for whoever started it (the exit code of a command-line run).
enum class ApplyOutcome {
  Applied,  // the connection was read back as asked
  Failed,   // it was not ("변경 실패"), or the commands could not run
  Refused,  // a check stopped it before anything changed, or an error ended it
};

enum class ApplyRefusal {
  None,
  NoConnection,  // the connection is empty once blanks and control characters are trimmed
  UnsafeText,    // a double quote or a control character in the connection or an address
  NoAddress,     // a static address without address or mask
};

// Only rdoIP asks for an address: with neither radio button selected nothing is checked.
// The connection and the addresses go into the script as they stand, so none of them may
// hold what would end the quoted name, the script's line or a registry entry (a double
// quote, a line break, a NUL): such a script would run commands nobody wrote.
ApplyRefusal CheckApplyValues(const ApplyValues& values);

// An unreadable system root counts as empty: the script path.
bool UsesRegistryPath(std::string_view systemRoot);

// The script in the temporary folder (given without its final backslash).
std::string NetshScriptPath(std::string_view tempDirectory);

// The command that runs the script. The path is quoted: a temporary folder with a blank in
// it (a user name with a blank) would otherwise cut the path in two.
std::string NetshCommand(std::string_view scriptPath);

// The completion box's text, naming the place.
std::string ApplySuccessText(std::string_view placeName);

// How long an apply waits for the connection to show what it asked for, reading it again
// after every poll. Static values are in place when netsh returns, but a new address is first
// checked for duplicates (three probes a second apart on current systems). A DHCP lease takes
// the client's first request and, when that goes unanswered, its retries about 4 and 8
// seconds later, then the duplicate check of the leased address.
struct SettleTimes {
  std::chrono::milliseconds staticValues{5000};
  std::chrono::milliseconds dhcp{20000};
  std::chrono::milliseconds poll{250};
};

// The most netsh is waited for, all its runs together; then the apply reads back what it has.
inline constexpr std::chrono::seconds kNetshLimit{120};

// The progress panel while the apply waits for the connection, with the seconds still left.
std::string SettleStatusText(bool dhcp, std::chrono::milliseconds left);

// netsh's output as lines worth showing: blank lines, its "Ok." after each command and repeats
// of a line left out, at most a dozen lines.
std::vector<std::string> NetshMessageLines(std::string_view output);

// The failure box: "변경 실패", why (the connection differs, is not there or cannot be read,
// and what kept the commands from running), each value asked for and found, marking those
// that differ, and netsh's own lines.
std::string ApplyFailureText(std::string_view connection, LiveConnection::Status status,
                             const ReadBack& readBack, std::string_view commandProblem,
                             const std::vector<std::string>& netshLines);

}  // namespace tavi
