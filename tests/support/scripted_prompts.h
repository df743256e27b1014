// A UserPrompts double: records every message box and answers from a script instead of a
// person, so no test ever waits on a modal box.
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "win/user_prompts_win32.h"

namespace tavi::test {

class ScriptedPrompts final : public UserPrompts {
 public:
  struct Prompt {
    HWND owner;
    std::string text;
    std::string caption;
    UINT flags;
  };

  // Answers given in order; IDOK once they run out.
  std::deque<int> answers;
  // Runs before a box is answered (it may throw, to stand for a failing handler).
  std::function<void(const Prompt&)> onShow;
  std::vector<Prompt> shown;

  int Show(HWND owner, std::string_view text, std::string_view caption, UINT flags) override {
    shown.push_back({owner, std::string(text), std::string(caption), flags});
    if (onShow) onShow(shown.back());
    if (answers.empty()) return IDOK;
    const int answer = answers.front();
    answers.pop_front();
    return answer;
  }
};

}  // namespace tavi::test
