#include "kernels/Lunmarg/TMatrix.h"

#include <gtest/gtest.h>

namespace {

TEST(TMatrixTest, FillAndIdentity) {
    const TMatrix<double> m(3, 2, 2.5);
    ASSERT_EQ(m.GetRows(), 3);
    ASSERT_EQ(m.GetCols(), 2);
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(m(i, 0) == 2.5 && m(i, 1) == 2.5);

    const TMatrix<double> one("I", 1);
    ASSERT_TRUE(one.GetRows() == 1 && one.GetCols() == 1);
    EXPECT_EQ(one(0, 0), 1.0);
    const TMatrix<double> id("I", 3);
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            EXPECT_EQ(id(i, j), i == j ? 1.0 : 0.0);
}

TEST(TMatrixTest, CopiesShareStorageUntilTheLastHolderGoes) {
    TMatrix<double> a(2, 2, 1.0);
    {
        TMatrix<double> b = a;
        b(1, 0) = 7.0;
        EXPECT_EQ(a(1, 0), 7.0);
        a = TMatrix<double>(1, 1, 3.0); // b is now the only holder of the 2 x 2
        EXPECT_EQ(b(1, 0), 7.0);        // read after a let go (the sanitizer checks)
        TMatrix<double> c = b;
        c = b; // both already share it
        b = b;
        EXPECT_EQ(c(1, 0), 7.0);
        EXPECT_EQ(&c(0, 0), &b(0, 0));
        a = c = b; // chained; the result is a copy sharing b's storage
    }
    // Every other holder is gone; a keeps the storage alive.
    ASSERT_EQ(a.GetRows(), 2);
    EXPECT_EQ(a(1, 0), 7.0);
}

TEST(TMatrixTest, SizeLimitsThrowACopyOfTheOneException) {
    EXPECT_STREQ(m_nomem.what(), "bad allocation");
    const int sizes[][2] = {{1 << 30, 1}, {1, 1 << 29}, {-1, 1}, {1, -1}};
    for (const auto &s : sizes) {
        try {
            TMatrix<double> m(s[0], s[1], 0.0);
            ADD_FAILURE() << s[0] << " x " << s[1] << " was allocated";
        } catch (const std::bad_alloc &e) {
            EXPECT_NE(dynamic_cast<const MatrixException *>(&e), nullptr);
            EXPECT_NE(&e, &m_nomem);
            EXPECT_STREQ(e.what(), "bad allocation");
        }
    }
    // Just below the column limit, with no rows to allocate.
    const TMatrix<double> wide(0, (1 << 29) - 1, 0.0);
    EXPECT_EQ(wide.GetCols(), (1 << 29) - 1);
}

TEST(TMatrixTest, AccessOutsideTheMatrixThrows) {
    TMatrix<double> m(2, 3, 0.0);
    EXPECT_THROW(m(-1, 0), std::out_of_range);
    EXPECT_THROW(m(2, 0), std::out_of_range);
    EXPECT_THROW(m(0, 3), std::out_of_range);
    EXPECT_THROW(m(0, -1), std::out_of_range);
    const TMatrix<double> empty(0, 0, 0.0);
    EXPECT_THROW(empty(0, 0), std::out_of_range);
    EXPECT_NO_THROW(m(1, 2) = 4.0);
    EXPECT_EQ(m(1, 2), 4.0);
}

} // namespace
