#pragma once

#include "platform/core/Prompt.h"

#include <deque>
#include <utility>
#include <vector>

namespace testsupport {

// Answers the prompts of non-GUI code from a queue while it lives, and records what was asked.
// An unexpected prompt fails the test and answers the box's default button.
class ScriptedPrompts {
  public:
    explicit ScriptedPrompts(std::deque<int> answers = {});
    ~ScriptedPrompts();
    ScriptedPrompts(const ScriptedPrompts &) = delete;
    ScriptedPrompts &operator=(const ScriptedPrompts &) = delete;

    std::vector<std::pair<CString, UINT>> asked;
    std::deque<int> answers;

  private:
    PromptHandler m_previous;
};

} // namespace testsupport
