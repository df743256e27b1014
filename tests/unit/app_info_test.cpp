// The help text, byte for byte, and which keyboard layout a field asks for.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/app_info.h"
#include "app/input_language.h"

namespace tavi {
namespace {

TEST(HelpText, IsTheTwentySixLinesJoinedByCarriageReturns) {
  const std::string expected =
      "1. 사용법: 그냥 보면 바로 알 수 있습니다.\r\r\r"
      "2. 옵션 설명: tavi [/s] [index]\r\r"
      "--------------------------------------------------------------------------------------------"
      "--\r\r"
      "    /s \t: 네트워크 환경 설정 후 완료 메시지 출력 안함\r\r"
      "    index \t: 사용환경 순번, 0부터 시작\r\r"
      "    예\t: tavi /s 0    - 첫 번째 환경으로 설정 후 프로그램 자동 종료\r\r\r"
      "3. 사용 환경 더블클릭: 네트워크 환경 설정(with SHIFT: 자동 종료, CONTROL: 완료 메시지 출력 "
      "안함)\r\r\r"
      "4. Windows 2000, 2003, XP 계열에서만 동작됩니다.\r\r\r"
      "5. 각종 문의 사항, 버그, 개선점, 최신판 다운로드 등은 아래 웹사이트에서 할 수 있습니다.\r\r"
      "    http://example.org\r\r\r"
      "만든 이: 홍길동 (tavi@example.org)";
  EXPECT_EQ(HelpText(), expected);
}

TEST(InputLanguage, PrefersTheNamedKoreanInputMethodThenKeepsAKoreanOne) {
  const std::vector<KeyboardLayoutInfo> layouts = {
      {0x0409, ""},                              // English (United States)
      {0x0412, "Microsoft IME"},                 // a later Korean input method
      {0x0412, std::string(kFieldInputMethod)},  // the one the fields name
      {0x0812, ""},                              // another Korean locale
  };
  EXPECT_EQ(ChooseKeyboardLayout(layouts, 0, kFieldInputMethod), 2);
  // Not installed: the current Korean layout stays, else the first Korean one is taken.
  EXPECT_EQ(ChooseKeyboardLayout(layouts, 3, kConnectionInputMethod), 3);
  EXPECT_EQ(ChooseKeyboardLayout(layouts, 0, kConnectionInputMethod), 1);
  EXPECT_EQ(ChooseKeyboardLayout(layouts, -1, kConnectionInputMethod), 1);
  // No Korean layout: nothing is switched.
  EXPECT_EQ(
      ChooseKeyboardLayout(std::vector<KeyboardLayoutInfo>{{0x0409, ""}}, 0, kFieldInputMethod),
      -1);
}

}  // namespace
}  // namespace tavi
