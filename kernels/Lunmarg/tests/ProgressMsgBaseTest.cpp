#include "kernels/Lunmarg/ProgressMsgBase.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

class Counter : public ProgressMsgBase {
  public:
    explicit Counter(bool *destroyed) : m_destroyed(destroyed) {}
    ~Counter() override { *m_destroyed = true; }
    void ProgressStart(PROGRESS_KIND, int) const override {}
    void ProgressStart(const std::string &, int) const override {}
    bool Progress(int) const override { return true; }
    void ProgressEnd() const override {}
    void set(int value, const std::string &text) { m_nValue = value, m_strText = text; }
    bool holds(int value, const std::string &text) const {
        return m_nValue == value && m_strText == text;
    }

    std::vector<double> m_payload = std::vector<double>(64);
    bool *m_destroyed;
};

TEST(ProgressMsgBaseTest, FieldsStartEmptyAndAreCopied) {
    bool destroyed = false;
    Counter a(&destroyed), c(&destroyed);
    EXPECT_TRUE(a.holds(0, ""));
    a.set(7, "read");
    EXPECT_TRUE(Counter(a).holds(7, "read"));
    c = a;
    EXPECT_TRUE(c.holds(7, "read"));
}

TEST(ProgressMsgBaseTest, DeletedThroughTheBase) {
    static_assert(std::has_virtual_destructor_v<ProgressMsgBase>);
    bool destroyed = false;
    std::unique_ptr<ProgressMsgBase> p = std::make_unique<Counter>(&destroyed);
    p.reset(); // the derived destructor runs and its storage is freed
    EXPECT_TRUE(destroyed);
}

} // namespace
