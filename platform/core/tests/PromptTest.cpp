#include "platform/core/Prompt.h"

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <utility>
#include <vector>

namespace {

// Records the prompts and answers them from a queue.
struct ScriptedUser {
    std::vector<std::pair<CString, UINT>> asked;
    std::deque<int> answers;

    PromptHandler Handler() {
        return [this](const CString &text, UINT type) {
            asked.emplace_back(text, type);
            const int answer = answers.front();
            answers.pop_front();
            return answer;
        };
    }
};

class PromptTest : public ::testing::Test {
  protected:
    void TearDown() override { SetPromptHandler(nullptr); }
};

TEST_F(PromptTest, ScriptedHandlerSeesTheTextAndAnswers) {
    ScriptedUser user;
    user.answers = {IDNO, IDYES};
    SetPromptHandler(user.Handler());

    EXPECT_EQ(AfxMessageBox("表を続けますか？", MB_YESNO | MB_ICONEXCLAMATION), IDNO);
    EXPECT_EQ(AfxMessageBox(CString("2"), MB_YESNO), IDYES);
    ASSERT_EQ(user.asked.size(), 2u);
    EXPECT_EQ(user.asked[0].first.Bytes(), std::string(CString("表を続けますか？").Bytes()));
    EXPECT_EQ(user.asked[0].first.Left(2).Bytes(), "\x95\x5C"); // still cp932
    EXPECT_EQ(user.asked[0].second, MB_YESNO | MB_ICONEXCLAMATION);
    EXPECT_EQ(user.asked[1].second, MB_YESNO);
}

TEST_F(PromptTest, SetReturnsThePreviousHandler) {
    ScriptedUser first;
    first.answers = {IDCANCEL};
    EXPECT_FALSE(SetPromptHandler(first.Handler()));

    const PromptHandler previous = SetPromptHandler([](const CString &, UINT) { return IDRETRY; });
    ASSERT_TRUE(previous);
    EXPECT_EQ(AfxMessageBox("x", MB_RETRYCANCEL), IDRETRY);
    EXPECT_EQ(previous(CString("y"), MB_OKCANCEL), IDCANCEL);
    EXPECT_EQ(first.asked.size(), 1u);

    EXPECT_TRUE(SetPromptHandler(nullptr));
    EXPECT_FALSE(SetPromptHandler(nullptr));
}

TEST_F(PromptTest, HandlerMayPromptAndSwapHandlers) {
    int inner = 0;
    SetPromptHandler([&inner](const CString &, UINT) {
        SetPromptHandler([&inner](const CString &, UINT) {
            ++inner;
            return IDIGNORE;
        });
        return AfxMessageBox("nested", MB_ABORTRETRYIGNORE) == IDIGNORE ? IDOK : IDABORT;
    });
    EXPECT_EQ(AfxMessageBox("outer", MB_OK), IDOK);
    EXPECT_EQ(inner, 1);
}

TEST_F(PromptTest, DefaultAnswerIsTheDefaultButton) {
    const struct {
        UINT type;
        int answer;
    } cases[] = {
        {MB_OK, IDOK},
        {MB_OKCANCEL | MB_DEFBUTTON2, IDCANCEL},
        {MB_ABORTRETRYIGNORE, IDABORT},
        {MB_ABORTRETRYIGNORE | MB_DEFBUTTON2, IDRETRY},
        {MB_ABORTRETRYIGNORE | MB_DEFBUTTON3, IDIGNORE},
        {MB_YESNOCANCEL | MB_DEFBUTTON3, IDCANCEL},
        {MB_YESNO, IDYES},
        {MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2, IDNO},
        {MB_YESNO | MB_DEFBUTTON3, IDYES}, // no third button
        {MB_OK | MB_DEFBUTTON2, IDOK},
        {MB_RETRYCANCEL | MB_ICONHAND, IDRETRY},
        {0x0E | MB_DEFBUTTON2, IDOK}, // unknown button set
    };
    for (const auto &c : cases) {
        EXPECT_EQ(PromptDefaultAnswer(c.type), c.answer) << std::hex << c.type;
    }
}

TEST_F(PromptTest, WithoutHandlerTheTextGoesToStandardError) {
    ::testing::internal::CaptureStderr();
    const int answer = AfxMessageBox("表\n続けますか？\n", MB_YESNO | MB_DEFBUTTON2);
    const std::string err = ::testing::internal::GetCapturedStderr();

    EXPECT_EQ(answer, IDNO);
    const std::u8string expected = u8"表 続けますか？";
    EXPECT_NE(err.find(std::string(expected.begin(), expected.end())), std::string::npos) << err;
    EXPECT_NE(err.find("No"), std::string::npos) << err;
    ASSERT_FALSE(err.empty());
    EXPECT_EQ(err.back(), '\n');
    EXPECT_EQ(err.find('\n'), err.size() - 1) << "not one line: " << err;
}

} // namespace
