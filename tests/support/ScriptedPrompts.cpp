#include "tests/support/ScriptedPrompts.h"

#include <gtest/gtest.h>

namespace testsupport {

ScriptedPrompts::ScriptedPrompts(std::deque<int> script) : answers(std::move(script)) {
    m_previous = SetPromptHandler([this](const CString &text, UINT type) {
        asked.emplace_back(text, type);
        if (answers.empty()) {
            ADD_FAILURE() << "unexpected prompt: " << ToUtf8(text);
            return PromptDefaultAnswer(type);
        }
        const int answer = answers.front();
        answers.pop_front();
        return answer;
    });
}

ScriptedPrompts::~ScriptedPrompts() { SetPromptHandler(m_previous); }

} // namespace testsupport
