#include "app/app_info.h"

#include <initializer_list>
#include <string_view>

namespace tavi {

std::string HelpText() {
  const std::string separator(94, '-');
  const std::string webLine = std::string("    ") + kWebAddress;
  const std::string authorLine = std::string("만든 이: ") + kAuthorName + " (" + kAuthorEmail + ")";
  const std::initializer_list<std::string_view> lines = {
      "1. 사용법: 그냥 보면 바로 알 수 있습니다.",
      "",
      "",
      "2. 옵션 설명: tavi [/s] [index]",
      "",
      separator,
      "",
      "    /s \t: 네트워크 환경 설정 후 완료 메시지 출력 안함",
      "",
      "    index \t: 사용환경 순번, 0부터 시작",
      "",
      "    예\t: tavi /s 0    - 첫 번째 환경으로 설정 후 프로그램 자동 종료",
      "",
      "",
      "3. 사용 환경 더블클릭: 네트워크 환경 설정(with SHIFT: 자동 종료, CONTROL: 완료 메시지 "
      "출력 안함)",
      "",
      "",
      "4. Windows 2000, 2003, XP 계열에서만 동작됩니다.",
      "",
      "",
      "5. 각종 문의 사항, 버그, 개선점, 최신판 다운로드 등은 아래 웹사이트에서 할 수 있습니다.",
      "",
      webLine,
      "",
      "",
      authorLine,
  };
  std::string text;
  bool first = true;
  for (std::string_view line : lines) {
    if (!first) text += '\r';
    text += line;
    first = false;
  }
  return text;
}

}  // namespace tavi
