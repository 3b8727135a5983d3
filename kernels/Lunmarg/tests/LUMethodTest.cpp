#include "kernels/Lunmarg/LUMethod.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <limits>
#include <random>
#include <string>
#include <utility>

namespace {

using Matrix = TMatrix<double>;

Matrix Make(int rows, int cols, std::initializer_list<double> values) {
    Matrix m(rows, cols, 0.0);
    auto v = values.begin();
    for (int i = 0; i < rows; ++i)
        for (int j = 0; j < cols; ++j)
            m(i, j) = *v++;
    return m;
}

// Records every call; Progress refuses from its refuseAt-th call on.
class Recorder : public ProgressMsgBase {
  public:
    explicit Recorder(int refuseAt = 0) : m_refuseAt(refuseAt) {}
    void ProgressStart(PROGRESS_KIND kind, int total) const override {
        m_log.append("S").append(std::to_string(kind)).append("/").append(std::to_string(total));
        m_log += ' ';
    }
    void ProgressStart(const std::string &, int) const override { m_log += "text "; }
    bool Progress(int done) const override {
        m_log += std::to_string(done) + " ";
        return ++m_calls != m_refuseAt;
    }
    void ProgressEnd() const override { m_log += "E "; }
    mutable std::string m_log;

  private:
    int m_refuseAt;
    mutable int m_calls = 0;
};

// max |a x - b| computed in extended precision.
double Residual(const Matrix &a, const Matrix &x, const Matrix &b) {
    long double worst = 0;
    for (int i = 0; i < a.GetRows(); ++i) {
        long double r = -static_cast<long double>(b(i, 0));
        for (int j = 0; j < a.GetCols(); ++j)
            r += static_cast<long double>(a(i, j)) * x(j, 0);
        worst = std::max(worst, std::fabs(r));
    }
    return static_cast<double>(worst);
}

TEST(LUMethodTest, RandomSystemsAndTheirFactors) {
    std::mt19937 gen(20240601);
    std::uniform_real_distribution<double> dist(-1.0, 1.0);
    for (int n : {1, 2, 5, 12}) {
        Matrix a(n, n, 0.0), b(n, 1, 0.0);
        for (int i = 0; i < n; ++i) {
            b(i, 0) = 100 * dist(gen);
            for (int j = 0; j < n; ++j)
                a(i, j) = dist(gen);
        }
        Matrix indx(n, 1, -1.0), x(n, 1, 0.0);
        int d = 0;
        const Matrix lu = LUMethod().LUDecompose(a, indx, &d);
        int swaps = 0;
        for (int j = 0; j < n; ++j)
            swaps += indx(j, 0) != j;
        EXPECT_EQ(d, swaps % 2 ? -1 : 1);
        EXPECT_TRUE(n < 5 || swaps > 0); // the pivoting is exercised
        for (int i = 0; i < n; ++i)
            x(i, 0) = b(i, 0);
        LUMethod().LUBackSubst(lu, indx, x);
        EXPECT_LT(Residual(a, x, b), 1e-12) << "n = " << n;

        // L (unit lower) times U equals a with the recorded swaps applied in order.
        Matrix pa(n, n, 0.0);
        for (int i = 0; i < n; ++i)
            for (int j = 0; j < n; ++j)
                pa(i, j) = a(i, j);
        for (int j = 0; j < n; ++j)
            for (int k = 0; k < n; ++k)
                std::swap(pa(j, k), pa(static_cast<int>(indx(j, 0)), k));
        for (int i = 0; i < n; ++i)
            for (int j = 0; j < n; ++j) {
                double s = i <= j ? lu(i, j) : 0.0;
                for (int k = 0; k < std::min(i, j + 1); ++k)
                    s += lu(i, k) * lu(k, j);
                EXPECT_NEAR(s, pa(i, j), 1e-13);
            }
    }
}

TEST(LUMethodTest, HilbertInverseAndImprovement) {
    Matrix h(4, 4, 0.0);
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            h(i, j) = 1.0 / (i + j + 1);
    const Matrix exact = Make(4, 4,
                              {16, -120, 240, -140, -120, 1200, -2700, 1680, 240, -2700, 6480,
                               -4200, -140, 1680, -4200, 2800});
    const LUMethod lu;
    const Matrix inv = lu.Inverse(h);
    Matrix indx(4, 1, 0.0);
    int d;
    const Matrix factors = lu.LUDecompose(h, indx, &d);
    const Matrix inv2 = lu.LUInverse(factors, indx);
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) {
            EXPECT_NEAR(inv(i, j), exact(i, j), 1e-8) << i << "," << j;
            EXPECT_EQ(inv(i, j), inv2(i, j));
            EXPECT_EQ(h(i, j), 1.0 / (i + j + 1)); // the input is left alone
        }

    // b = h (1 1 1 1); a spoiled solution comes back near the exact one.
    Matrix b(4, 1, 0.0), x(4, 1, 0.0);
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            b(i, 0) += h(i, j);
    for (int i = 0; i < 4; ++i)
        x(i, 0) = 1.0 + (i % 2 ? 1e-5 : -1e-5);
    lu.LUImprove(h, factors, indx, b, x);
    for (int i = 0; i < 4; ++i)
        EXPECT_NEAR(x(i, 0), 1.0, 1e-9);
}

TEST(LUMethodTest, PivotChoiceByScaledMerit) {
    // Scaled merits of column 0 are both 1: row 1 becomes the pivot.
    Matrix a = Make(2, 2, {2, 1, 4, 3}), indx(2, 1, 0.0);
    int d = 0;
    ASSERT_EQ(LUMethod().LUDecompInPlace(a, indx, &d), LU_SUCCESS);
    EXPECT_EQ(indx(0, 0), 1.0);
    EXPECT_EQ(d, -1);
    EXPECT_TRUE(a(0, 0) == 4 && a(0, 1) == 3 && a(1, 0) == 0.5 && a(1, 1) == -0.5);
    EXPECT_EQ(d * a(0, 0) * a(1, 1), 2.0); // the determinant

    // Column 1 compares 2.5 / 4 (row 1) with 3.75 / 64 (row 2, which holds
    // row 0 after the first swap, with its scale).
    Matrix b = Make(3, 3, {1, 4, 64, 2, 3, 4, 4, 1, 2}), indx3(3, 1, 0.0);
    ASSERT_EQ(LUMethod().LUDecompInPlace(b, indx3, &d), LU_SUCCESS);
    EXPECT_TRUE(indx3(0, 0) == 2 && indx3(1, 0) == 1 && indx3(2, 0) == 2);
    EXPECT_EQ(d, -1);
    EXPECT_EQ(b(1, 1), 2.5);
    EXPECT_DOUBLE_EQ(b(2, 1), 1.5);
}

TEST(LUMethodTest, LeadingZerosOfThePermutedRightHandSide) {
    const Matrix a = Make(4, 4, {1, 2, 0, 1, 4, 1, 1, 0, 0, 3, 1, 2, 2, 0, 5, 1});
    Matrix indx(4, 1, 0.0);
    int d;
    const Matrix lu = LUMethod().LUDecompose(a, indx, &d);
    // Each unit vector, and a vector led by zeros, is solved to its residual.
    for (int k = 0; k < 5; ++k) {
        Matrix b(4, 1, 0.0);
        if (k < 4)
            b(k, 0) = 1.0;
        else
            b(2, 0) = -3.0, b(3, 0) = 0.25;
        const Matrix rhs = Make(4, 1, {b(0, 0), b(1, 0), b(2, 0), b(3, 0)});
        LUMethod().LUBackSubst(lu, indx, b);
        EXPECT_LT(Residual(a, b, rhs), 1e-14) << k;
    }
    Matrix zero(4, 1, 0.0);
    LUMethod().LUBackSubst(lu, indx, zero);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(zero(i, 0), 0.0);
}

TEST(LUMethodTest, SingularMatrices) {
    const LUMethod plain;
    Matrix indx(3, 1, 0.0);
    int d = 0;
    {
        // A row of zeros: code 1 before any progress call.
        Recorder rec;
        Matrix a = Make(3, 3, {1, 2, 3, 4, 5, 6, 0, 0, 0});
        EXPECT_EQ(LUMethod(&rec).LUDecompInPlace(a, indx, &d), LU_SINGULAR);
        EXPECT_EQ(rec.m_log, "");
        EXPECT_EQ(d, 1);
        EXPECT_THROW(plain.LUDecompose(a, indx, &d), LUMethod::LUSingularException);
        EXPECT_THROW(LUMethod(&rec).Inverse(a), LUMethod::LUSingularException);
        EXPECT_EQ(rec.m_log, "S2/3 E ");
    }
    {
        // The zero pivot only appears during elimination.
        Recorder rec;
        Matrix a = Make(2, 2, {1, 2, 2, 4});
        const Matrix original = Make(2, 2, {1, 2, 2, 4});
        EXPECT_EQ(LUMethod(&rec).LUDecompInPlace(a, indx, &d), LU_SINGULAR);
        EXPECT_EQ(rec.m_log, "S2/2 1 E ");
        // Factors of a failed decomposition are refused, the vector is kept.
        Matrix b = Make(2, 1, {1, 1});
        EXPECT_THROW(plain.LUBackSubst(a, indx, b), LUMethod::LUSingularException);
        EXPECT_TRUE(b(0, 0) == 1 && b(1, 0) == 1);
        EXPECT_THROW(LUMethod(&rec).LUInverse(a, indx), LUMethod::LUSingularException);
        EXPECT_THROW(plain.Inverse(original), LUMethod::LUSingularException);
        EXPECT_EQ(rec.m_log, "S2/2 1 E ");
    }
    {
        // Every candidate of column 1 is 0: row 1 stays (one swap so far).
        Matrix a = Make(3, 3, {1, 2, 3, 2, 4, 5, 4, 8, 1});
        EXPECT_EQ(plain.LUDecompInPlace(a, indx, &d), LU_SINGULAR);
        EXPECT_EQ(indx(0, 0), 2.0);
        EXPECT_EQ(indx(1, 0), 1.0);
        EXPECT_EQ(d, -1);
    }
    {
        // Non-finite input, and a pivot that overflows.
        const double inf = std::numeric_limits<double>::infinity();
        const double nan = std::numeric_limits<double>::quiet_NaN();
        Recorder rec;
        for (double bad : {inf, nan}) {
            Matrix a = Make(2, 2, {1, bad, 3, 4});
            EXPECT_EQ(LUMethod(&rec).LUDecompInPlace(a, indx, &d), LU_SINGULAR);
        }
        EXPECT_EQ(rec.m_log, "");
        Matrix a = Make(2, 2, {1e308, 1e308, -1e308, 1e308});
        EXPECT_EQ(LUMethod(&rec).LUDecompInPlace(a, indx, &d), LU_SINGULAR);
        EXPECT_EQ(rec.m_log, "S2/2 1 E ");
    }
}

TEST(LUMethodTest, CancellationClosesTheProgressBracket) {
    const Matrix a = Make(3, 3, {4, 1, 0, 1, 4, 1, 0, 1, 4});
    Matrix indx(3, 1, 0.0);
    int d;
    Recorder first(1);
    Matrix work = Make(3, 3, {4, 1, 0, 1, 4, 1, 0, 1, 4});
    EXPECT_EQ(LUMethod(&first).LUDecompInPlace(work, indx, &d), LU_BREAK);
    EXPECT_EQ(first.m_log, "S2/3 1 E ");
    Recorder again(1);
    EXPECT_THROW(LUMethod(&again).LUDecompose(a, indx, &d), LUMethod::LUBreakException);
    EXPECT_EQ(again.m_log, "S2/3 1 E ");

    Recorder none;
    const Matrix factors = LUMethod(&none).LUDecompose(a, indx, &d);
    LUMethod(&none).Inverse(a);
    EXPECT_EQ(none.m_log, "S2/3 1 2 3 E S2/3 S2/3 1 2 3 E 1 2 3 E ");

    Recorder inner(2), outer(5), inv(2);
    EXPECT_THROW(LUMethod(&inner).Inverse(a), LUMethod::LUBreakException);
    EXPECT_EQ(inner.m_log, "S2/3 S2/3 1 2 E E ");
    EXPECT_THROW(LUMethod(&outer).Inverse(a), LUMethod::LUBreakException);
    EXPECT_EQ(outer.m_log, "S2/3 S2/3 1 2 3 E 1 2 E ");
    EXPECT_THROW(LUMethod(&inv).LUInverse(factors, indx), LUMethod::LUBreakException);
    EXPECT_EQ(inv.m_log, "S2/3 1 2 E ");
}

TEST(LUMethodTest, MisuseIsRefusedBeforeAnythingChanges) {
    const LUMethod lu;
    Matrix a = Make(2, 2, {2, 1, 1, 3}), indx(2, 1, 0.0), shortIndx(1, 1, 0.0);
    int d;
    Matrix wide(2, 3, 1.0);
    EXPECT_THROW(lu.LUDecompInPlace(wide, indx, &d), std::invalid_argument);
    EXPECT_THROW(lu.LUDecompInPlace(a, shortIndx, &d), std::invalid_argument);
    EXPECT_THROW(lu.LUDecompInPlace(a, indx, nullptr), std::invalid_argument);
    Matrix alias = a;
    EXPECT_THROW(lu.LUDecompInPlace(a, alias, &d), std::invalid_argument);
    EXPECT_EQ(a(0, 0), 2.0);

    ASSERT_EQ(lu.LUDecompInPlace(a, indx, &d), LU_SUCCESS);
    Matrix b = Make(2, 1, {5, 7});
    for (double bad : {2.0, -1.0, 0.5, std::numeric_limits<double>::quiet_NaN()}) {
        Matrix badIndx = Make(2, 1, {0, bad});
        EXPECT_THROW(lu.LUBackSubst(a, badIndx, b), std::invalid_argument) << bad;
        EXPECT_THROW(lu.LUInverse(a, badIndx), std::invalid_argument) << bad;
    }
    EXPECT_THROW(lu.LUBackSubst(a, shortIndx, b), std::invalid_argument);
    Matrix shortB(1, 1, 5.0), indxAlias = indx;
    EXPECT_THROW(lu.LUBackSubst(a, indx, shortB), std::invalid_argument);
    EXPECT_THROW(lu.LUBackSubst(a, indx, indxAlias), std::invalid_argument);
    EXPECT_TRUE(b(0, 0) == 5 && b(1, 0) == 7 && indx(0, 0) == 0 && indx(1, 0) == 1);

    Matrix x(2, 1, 0.0);
    EXPECT_THROW(lu.LUImprove(wide, a, indx, b, x), std::invalid_argument);
    EXPECT_THROW(lu.LUImprove(a, a, indx, shortB, x), std::invalid_argument);
    EXPECT_THROW(lu.LUImprove(a, a, shortIndx, b, x), std::invalid_argument);
    EXPECT_TRUE(x(0, 0) == 0 && x(1, 0) == 0);
    EXPECT_THROW(lu.Inverse(wide), std::invalid_argument);
}

} // namespace
