#include <gtest/gtest.h>
TEST(PointTest, Placeholder) { EXPECT_TRUE(true); }
