#include "veltrane/model/YList.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using IntList = YList<int, 0>;

// The items from the head, read by walking and by position (which must agree).
std::vector<int> items(const IntList &list) {
    std::vector<int> walked, indexed;
    for (const int *item : list)
        walked.push_back(*item);
    for (unsigned i = 0; i < list.GetCount(); ++i)
        indexed.push_back(*list.GetAt(i));
    EXPECT_EQ(walked, indexed);
    return walked;
}

int v[6] = {0, 1, 2, 3, 4, 5};

} // namespace

TEST(YList, EmptyListIsSafe) {
    IntList list;
    EXPECT_EQ(list.GetAt(0), nullptr);
    EXPECT_EQ(list.TakeOutAt(0), nullptr);
    EXPECT_TRUE(items(list).empty());
}

TEST(YList, InsertsKeepTheRingAndTheTail) {
    IntList list;
    EXPECT_TRUE(list.InsertFront(&v[3])); // into an empty list: head and tail at once
    EXPECT_TRUE(list.InsertAt(1, &v[5])); // at count: appends and becomes the tail
    EXPECT_TRUE(list.InsertAt(1, &v[4]));
    EXPECT_TRUE(list.InsertAt(0, &v[1]));
    EXPECT_TRUE(list.InsertAt(1, &v[2]));
    EXPECT_TRUE(list.Append(&v[0]));
    EXPECT_FALSE(list.InsertAt(7, &v[0]));
    EXPECT_EQ(items(list), (std::vector<int>{1, 2, 3, 4, 5, 0}));
    EXPECT_EQ(list.GetAt(6), nullptr);
}

TEST(YList, TakeOutRelinksAndEmpties) {
    IntList list;
    for (int &x : v)
        list.Append(&x);
    EXPECT_EQ(list.TakeOutAt(6), nullptr);
    EXPECT_EQ(list.TakeOutAt(0), &v[0]);
    EXPECT_EQ(list.TakeOutAt(4), &v[5]); // the tail: its predecessor takes over
    list.Append(&v[5]);
    EXPECT_EQ(items(list), (std::vector<int>{1, 2, 3, 4, 5}));
    while (list.GetCount() > 1)
        list.TakeOutAt(1);
    EXPECT_EQ(list.TakeOutAt(0), &v[1]); // the only node
    EXPECT_TRUE(list.IsEmpty());
    EXPECT_TRUE(list.Append(&v[2]));
    EXPECT_TRUE(list.InsertFront(&v[1]));
    EXPECT_EQ(items(list), (std::vector<int>{1, 2}));
}

TEST(YList, CopiesShareItemsButNotNodes) {
    IntList list;
    list.Append(&v[1]);
    list.Append(&v[2]);
    IntList copy(list);
    EXPECT_EQ(copy.GetAt(1), &v[2]);
    copy.TakeOutAt(0);
    EXPECT_EQ(items(list), (std::vector<int>{1, 2}));
    copy = list;
    const IntList &same = copy;
    copy = same;
    EXPECT_EQ(items(copy), (std::vector<int>{1, 2}));
}
