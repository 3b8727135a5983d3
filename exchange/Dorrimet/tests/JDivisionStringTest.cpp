#include "exchange/Dorrimet/JDivisionString.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

// Every field of the splitter's line read with readString(max).
std::vector<std::string> fields(DivisionString &s, unsigned max = 127) {
    std::vector<std::string> out;
    std::vector<char> buf(max + 1);
    while (s.readString(max, buf.data()))
        out.emplace_back(buf.data());
    return out;
}

TEST(JDivisionStringTest, RecordsASpanForEveryFieldIndex) {
    JDivisionString s(256, 2);
    s.SetElmInfoFlag(true);
    s.setString("A01,    1,,  100.0  ,\n");
    const auto spans = [&] {
        std::vector<std::pair<int, int>> out;
        for (const auto &e : s.GetStrElmInfoVector())
            out.emplace_back(e.start, e.length);
        return out;
    };
    char out[32];
    ASSERT_EQ(s.readString(15, out), 1);
    ASSERT_EQ(s.skip(), 1);
    ASSERT_EQ(s.readString(15, out), 1);
    double d = 0;
    ASSERT_EQ(s.readDouble(&d), 1);
    ASSERT_EQ(s.readString(15, out), 1);
    EXPECT_EQ(d, 100.0);
    EXPECT_EQ(spans(),
              (std::vector<std::pair<int, int>>{{0, 3}, {4, 5}, {10, 0}, {11, 9}, {21, 0}}));
    EXPECT_EQ(s.GetBufferStr(), "A01,    1,,  100.0  ,\n");

    // A failed read records nothing; re-reading from the top starts over.
    EXPECT_EQ(s.readString(15, out), 0);
    EXPECT_EQ(s.GetStrElmInfoVector().size(), 5u);
    s.toTop();
    EXPECT_TRUE(s.GetStrElmInfoVector().empty());
    s.readString(2, out);
    EXPECT_TRUE(s.GetStrElmInfoVector().empty());
    s.readString(3, out);
    EXPECT_EQ(spans(), (std::vector<std::pair<int, int>>{{0, 3}}));
    s.setString("x");
    EXPECT_TRUE(s.GetStrElmInfoVector().empty());
    s.readString(3, out);
    EXPECT_EQ(spans(), (std::vector<std::pair<int, int>>{{0, 1}}));

    JDivisionString off(64, 0);
    off.setString("a,b");
    fields(off);
    EXPECT_TRUE(off.GetStrElmInfoVector().empty());
}

} // namespace
