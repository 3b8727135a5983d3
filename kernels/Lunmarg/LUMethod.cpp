#include "kernels/Lunmarg/LUMethod.h"

#include <cmath>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

const double LUMethod::m_tiny = 1e-20;

namespace {

// Progress kind of matrix decomposition and inversion.
constexpr PROGRESS_KIND kMatrixProgress = static_cast<PROGRESS_KIND>(2);

void RequireSquare(const TMatrix<double> &a, const char *what) {
    if (a.GetRows() != a.GetCols())
        throw std::invalid_argument(std::string(what) + ": the matrix is not square");
}

// b has at least n rows and a first column.
void RequireColumn(const TMatrix<double> &b, int n, const char *what) {
    if (b.GetRows() < n || b.GetCols() < 1)
        throw std::invalid_argument(std::string(what) + ": the vector is shorter than the matrix");
}

bool SameStorage(const TMatrix<double> &x, const TMatrix<double> &y) {
    return x.GetRows() > 0 && x.GetCols() > 0 && y.GetRows() > 0 && y.GetCols() > 0 &&
           &x(0, 0) == &y(0, 0);
}

// The first n pivot elements as row indexes of an n x n matrix.
std::vector<int> ReadPivots(const TMatrix<double> &indx, int n, const char *what) {
    RequireColumn(indx, n, what);
    std::vector<int> pivots(n);
    for (int i = 0; i < n; ++i) {
        const double p = indx(i, 0);
        if (!(p >= 0 && p < n) || p != std::floor(p))
            throw std::invalid_argument(std::string(what) + ": a pivot is not a row index");
        pivots[i] = static_cast<int>(p);
    }
    return pivots;
}

// Factors fit for substitution: every element finite, no zero on the diagonal.
void RequireRegular(const TMatrix<double> &a) {
    for (int i = 0; i < a.GetRows(); ++i) {
        if (a(i, i) == 0.0)
            throw LUMethod::LUSingularException();
        for (int j = 0; j < a.GetCols(); ++j)
            if (!std::isfinite(a(i, j)))
                throw LUMethod::LUSingularException();
    }
}

} // namespace

LUMethod::LUMethod() : m_pProgress(nullptr) {}

LUMethod::LUMethod(ProgressMsgBase *pProgress) : m_pProgress(pProgress) {}

void LUMethod::ProgressStart(int total) const {
    if (m_pProgress != nullptr)
        m_pProgress->ProgressStart(kMatrixProgress, total);
}

bool LUMethod::Progress(int done) const {
    return m_pProgress == nullptr || m_pProgress->Progress(done);
}

void LUMethod::ProgressEnd() const {
    if (m_pProgress != nullptr)
        m_pProgress->ProgressEnd();
}

bool LUMethod::scale(const TMatrix<double> &a, TMatrix<double> &vv) const {
    for (int i = 0; i < a.GetRows(); ++i) {
        double big = 0.0;
        for (int j = 0; j < a.GetCols(); ++j) {
            const double v = std::fabs(a(i, j));
            if (!std::isfinite(v))
                return false;
            if (v > big)
                big = v;
        }
        if (big == 0.0)
            return false;
        vv(i, 0) = 1.0 / big;
    }
    return true;
}

LUErrType LUMethod::doLUDecompose(TMatrix<double> &a, TMatrix<double> &indx, int *d) const {
    RequireSquare(a, "LUDecompose");
    const int n = a.GetCols();
    RequireColumn(indx, n, "LUDecompose");
    if (SameStorage(a, indx))
        throw std::invalid_argument("LUDecompose: the pivot vector is the matrix itself");
    if (d == nullptr)
        throw std::invalid_argument("LUDecompose: no place for the parity");

    *d = 1;
    TMatrix<double> vv(n, 1, 0.0);
    if (!scale(a, vv))
        return LU_SINGULAR;

    ProgressStart(n);
    for (int j = 0; j < n; ++j) {
        for (int i = 0; i < j; ++i) {
            long double sum = a(i, j);
            for (int k = 0; k < i; ++k)
                sum -= static_cast<long double>(a(i, k)) * a(k, j);
            a(i, j) = static_cast<double>(sum);
        }
        // Among equal merits the later row wins; row j stays when all are 0.
        double big = 0.0;
        int imax = j;
        for (int i = j; i < n; ++i) {
            long double sum = a(i, j);
            for (int k = 0; k < j; ++k)
                sum -= static_cast<long double>(a(i, k)) * a(k, j);
            a(i, j) = static_cast<double>(sum);
            const double merit = vv(i, 0) * std::fabs(a(i, j));
            if (merit > 0.0 && merit >= big) {
                big = merit;
                imax = i;
            }
        }
        if (imax != j) {
            for (int k = 0; k < n; ++k)
                std::swap(a(imax, k), a(j, k));
            *d = -*d;
            std::swap(vv(imax, 0), vv(j, 0));
        }
        indx(j, 0) = imax;

        // The input is finite, so an overflow anywhere reaches this or a
        // later pivot through the products (inf, or 0 x inf = NaN).
        const double pivot = a(j, j);
        if (pivot == 0.0 || !std::isfinite(pivot)) {
            ProgressEnd();
            return LU_SINGULAR;
        }
        if (j != n - 1) {
            const double dum = 1.0 / pivot;
            for (int i = j + 1; i < n; ++i)
                a(i, j) *= dum;
        }
        if (!Progress(j + 1)) {
            ProgressEnd();
            return LU_BREAK;
        }
    }
    ProgressEnd();
    return LU_SUCCESS;
}

LUErrType LUMethod::LUDecompInPlace(TMatrix<double> &a, TMatrix<double> &indx, int *d) const {
    return doLUDecompose(a, indx, d);
}

TMatrix<double> LUMethod::LUDecompose(const TMatrix<double> &a, TMatrix<double> &indx,
                                      int *d) const {
    TMatrix<double> lu(a.GetRows(), a.GetCols(), 0.0);
    for (int i = 0; i < a.GetRows(); ++i)
        for (int j = 0; j < a.GetCols(); ++j)
            lu(i, j) = a(i, j);
    switch (doLUDecompose(lu, indx, d)) {
    case LU_SINGULAR:
        throw LUSingularException();
    case LU_BREAK:
        throw LUBreakException();
    default:
        return lu;
    }
}

void LUMethod::LUBackSubst(const TMatrix<double> &a, const TMatrix<double> &indx,
                           TMatrix<double> &b) const {
    RequireSquare(a, "LUBackSubst");
    const int n = a.GetRows();
    const std::vector<int> pivots = ReadPivots(indx, n, "LUBackSubst");
    RequireColumn(b, n, "LUBackSubst");
    if (SameStorage(b, a) || SameStorage(b, indx))
        throw std::invalid_argument("LUBackSubst: the right-hand side is an input");
    RequireRegular(a);

    // Forward pass; sums start at the first non-zero element.
    int first = -1;
    for (int i = 0; i < n; ++i) {
        const int p = pivots[i];
        long double sum = b(p, 0);
        b(p, 0) = b(i, 0);
        if (first >= 0) {
            for (int k = first; k < i; ++k)
                sum -= static_cast<long double>(a(i, k)) * b(k, 0);
        } else if (sum != 0.0L) {
            first = i;
        }
        b(i, 0) = static_cast<double>(sum);
    }
    for (int i = n - 1; i >= 0; --i) {
        long double sum = b(i, 0);
        for (int k = i + 1; k < n; ++k)
            sum -= static_cast<long double>(a(i, k)) * b(k, 0);
        b(i, 0) = static_cast<double>(sum / a(i, i));
    }
}

TMatrix<double> LUMethod::LUInverse(const TMatrix<double> &a, const TMatrix<double> &indx) const {
    RequireSquare(a, "LUInverse");
    const int n = a.GetCols();
    ReadPivots(indx, n, "LUInverse");
    RequireRegular(a);

    TMatrix<double> col(n, 1, 0.0);
    TMatrix<double> result(n, n, 0.0);
    ProgressStart(n);
    for (int j = 0; j < n; ++j) {
        for (int i = 0; i < n; ++i)
            col(i, 0) = 0.0;
        col(j, 0) = 1.0;
        LUBackSubst(a, indx, col);
        for (int i = 0; i < n; ++i)
            result(i, j) = col(i, 0);
        if (!Progress(j + 1)) {
            ProgressEnd();
            throw LUBreakException();
        }
    }
    ProgressEnd();
    return result;
}

TMatrix<double> LUMethod::Inverse(const TMatrix<double> &a) const {
    RequireSquare(a, "Inverse");
    const int n = a.GetCols();
    TMatrix<double> result("I", n);
    TMatrix<double> indx(n, 1, 0.0);
    TMatrix<double> col(n, 1, 0.0);
    int d = 1;

    ProgressStart(n);
    try {
        const TMatrix<double> lu = LUDecompose(a, indx, &d);
        for (int j = 0; j < n; ++j) {
            for (int i = 0; i < n; ++i)
                col(i, 0) = i == j ? 1.0 : 0.0;
            LUBackSubst(lu, indx, col);
            for (int i = 0; i < n; ++i)
                result(i, j) = col(i, 0);
            if (!Progress(j + 1))
                throw LUBreakException();
        }
    } catch (...) {
        ProgressEnd();
        throw;
    }
    ProgressEnd();
    return result;
}

void LUMethod::LUImprove(const TMatrix<double> &a, const TMatrix<double> &alu,
                         const TMatrix<double> &indx, const TMatrix<double> &b,
                         TMatrix<double> &x) const {
    RequireSquare(a, "LUImprove");
    const int n = a.GetRows();
    if (alu.GetRows() != n || alu.GetCols() != n)
        throw std::invalid_argument("LUImprove: the factors are not of the matrix's size");
    RequireColumn(b, n, "LUImprove");
    RequireColumn(x, n, "LUImprove");

    TMatrix<double> r(n, 1, 0.0);
    for (int i = 0; i < n; ++i) {
        long double sdp = -static_cast<long double>(b(i, 0));
        for (int j = 0; j < n; ++j)
            sdp += static_cast<long double>(a(i, j)) * x(j, 0);
        r(i, 0) = static_cast<double>(sdp);
    }
    LUBackSubst(alu, indx, r);
    for (int i = 0; i < n; ++i)
        x(i, 0) -= r(i, 0);
}
