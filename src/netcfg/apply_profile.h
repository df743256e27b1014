// The decisions of applying a profile that need no operating system: what stops an apply,
// which way it goes, the command it runs and the texts it shows.
#pragma once

#include <string>
#include <string_view>

#include "netcfg/netsh_script.h"

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

// The system-root value under HKEY_LOCAL_MACHINE; one system family names its folder with
// "386", and there the values go into the registry instead of through netsh.
inline constexpr char kSystemRootValuePath[] =
    "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\SystemRoot";

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

// The completion box's text: the success text naming the place, or "변경 실패".
std::string ApplyResultText(bool changed, std::string_view placeName);

}  // namespace tavi
